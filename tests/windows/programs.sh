#!/usr/bin/env bash
# What the Windows programs are made of: 64-bit GUI programs that import only DLLs Windows
# ships (no C or C++ runtime DLL of the compiler's), and carry the game's icon, in every
# size the desktop's icons have, and its version. The installer carries its own icon, not
# the game's, and a version of its own.
set -euo pipefail
GAME_DIR=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
# DLLs every 64-bit Windows has in System32.
system_dlls="advapi32.dll ddraw.dll dsound.dll gdi32.dll glu32.dll kernel32.dll msvcrt.dll
ole32.dll opengl32.dll psapi.dll user32.dll winmm.dll"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Checks that the program's version information holds each of the texts given.
check_version() {
    local exe=$1 text
    shift
    local version
    version=$(wrestool -x -t 16 --raw "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null |
        tr '\0' '\n')
    for text in "$@"; do
        grep -qF "$text" <<<"$version" ||
            fail "$(basename "$exe")'s version information lacks '$text'"
    done
}
# Checksums of the pictures an icon file holds, in its order.
ico_pictures() {
    rm -rf "$work/pictures" && mkdir "$work/pictures"
    icotool -x -o "$work/pictures" "$1"
    (cd "$work/pictures" && ls -v | xargs md5sum | cut -d' ' -f1)
}

for program in startug startug-demo; do
    exe=$GAME_DIR/$program.exe
    headers=$(x86_64-w64-mingw32-objdump -p "$exe")
    grep -q "^Magic.*(PE32+)" <<<"$headers" || fail "$program.exe is not a 64-bit program"
    grep -q "^Subsystem.*(Windows GUI)" <<<"$headers" || fail "$program.exe is not a GUI program"
    imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort)
    echo "$program.exe imports:" $imports
    for dll in $imports; do
        grep -qw "$dll" <<<"$system_dlls" || fail "$program.exe imports $dll, which Windows lacks"
    done

    # The icon resource holds each painted size, PNG for PNG, in the order they were painted.
    rm -rf "$work/icons" && mkdir "$work/icons"
    wrestool -x -t 14 -o "$work/icons" "$exe"
    ls "$work/icons" | grep -qix "${program}.exe_14_ALLEGRO_ICON.ico" ||
        fail "$program.exe has no icon named allegro_icon, the one Allegro's window shows"
    index=1
    for size in 16 24 32 48 64 128 256; do
        wrestool -x -t 3 -n $index --raw "$exe" >"$work/icon.png"
        cmp -s "$work/icon.png" "$STARTUG_ICON_DIR/hicolor/${size}x$size/apps/org.startug.StarTug.png" ||
            fail "$program.exe's icon $index is not the game's $size-pixel icon"
        index=$((index + 1))
    done

    check_version "$exe" ProductName StarTug ProductVersion 1.0.0 "MIT licence" "$program.exe"
done

setup=$STARTUG_PACKAGE-setup.exe
check_version "$setup" ProductName StarTug ProductVersion 1.0.0 CompanyName \
    "The StarTug developers" FileDescription "StarTug 1.0.0 setup"
wrestool -x -t 14 "$setup" >"$work/setup.ico"
pictures=$(ico_pictures "$work/setup.ico")
[ "$pictures" = "$(ico_pictures "$STARTUG_INSTALLER_ART/setup.ico")" ] ||
    fail "the installer does not carry its own icon"
[ "$pictures" != "$(ico_pictures "$STARTUG_ICON_DIR/org.startug.StarTug.ico")" ] ||
    fail "the installer's icon is the game's"
echo "PASS"
