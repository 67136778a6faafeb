#!/usr/bin/env bash
# What the Windows programs are made of: 64-bit GUI programs that import only DLLs Windows
# ships (no C or C++ runtime DLL of the compiler's), and carry the game's icon, in every
# size the desktop's icons have, and its version.
set -euo pipefail
GAME_DIR=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
# DLLs every 64-bit Windows has in System32.
system_dlls="advapi32.dll ddraw.dll dsound.dll gdi32.dll glu32.dll kernel32.dll msvcrt.dll
ole32.dll opengl32.dll psapi.dll user32.dll winmm.dll"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

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
    for size in 16 32 48 64 128 256; do
        wrestool -x -t 3 -n $index --raw "$exe" >"$work/icon.png"
        cmp -s "$work/icon.png" "$STARTUG_ICON_DIR/hicolor/${size}x$size/apps/org.startug.StarTug.png" ||
            fail "$program.exe's icon $index is not the game's $size-pixel icon"
        index=$((index + 1))
    done

    version=$(wrestool -x -t 16 --raw "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null | tr '\0' '\n')
    for text in ProductName StarTug ProductVersion 1.0.0 "MIT licence" "$program.exe"; do
        grep -qF "$text" <<<"$version" || fail "$program.exe's version information lacks '$text'"
    done
done
echo "PASS"
