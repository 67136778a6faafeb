#!/usr/bin/env bash
# The installer as a player runs it, silently (/S) under Wine: the game's files in
# Program Files\StarTug, the Start-menu entries (their targets, working folders, icons and
# descriptions), no desktop shortcut (it is offered unticked), the uninstall entry Apps &
# features lists, with its registry types and the installed size, and the uninstaller's own
# icon; the game started the way its entry starts it; then the silent uninstaller leaves no
# file, shortcut or registry key behind, the publisher's included.
export STARTUG_WINE=1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../display/lib.sh"
export WINEPREFIX=$STARTUG_WINEPREFIX
in_wine() { "$here/wine-run" "$STARTUG_WINEPREFIX" "$@"; }

folder="$WINEPREFIX/drive_c/Program Files/StarTug"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/StarTug"
desktop="$WINEPREFIX/drive_c/users/Public/Desktop/StarTug.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\StarTug'
publisher_key='HKLM\Software\The StarTug developers'
# A registry key's values as "NAME TYPE VALUE" lines; nothing when there is no such key.
registry_values() {
    in_wine reg query "$1" 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *\([A-Za-z]*\) *\(REG_[A-Z_]*\) *\(.*\)$/\1 \2 \3/p' || true
}
[ ! -e "$folder" ] && [ -z "$(registry_values "$key")" ] || fail "StarTug is installed already"

echo "-- silent install"
in_wine "$STARTUG_PACKAGE-setup.exe" /S || fail "the installer failed"
wineserver -w
for file in startug.exe startug-demo.exe Uninstall.exe README.txt LICENSE.txt font.pcx \
    models/ship.model; do
    [ -f "$folder/$file" ] || fail "the installer put no $file in Program Files\\StarTug"
done
diff -r "$GAME_DIR/gfx" "$folder/gfx" >/dev/null || fail "the installed gfx differ from the build's"

# Each Start-menu entry starts its target in the install folder, with the target's own icon.
while IFS='|' read -r name target description; do
    shortcut=$(python3 "$here/lnk.py" "$menu/$name.lnk") || fail "no Start-menu entry $name"
    [ "$shortcut" = "target=C:\\Program Files\\StarTug\\$target
workdir=C:\\Program Files\\StarTug
arguments=
icon=
description=$description" ] || fail "the Start-menu entry $name is wrong: $shortcut"
done <<'ENTRIES'
StarTug|startug.exe|Tow stars into goals in a 3D space arcade game
StarTug autopilot demo|startug-demo.exe|StarTug flown by its autopilot
StarTug README|README.txt|How to play StarTug, and what it needs
Uninstall StarTug|Uninstall.exe|Remove StarTug from this computer
ENTRIES
[ "$(ls "$menu" | wc -l)" = 4 ] || fail "the Start-menu folder holds more: $(ls "$menu")"
[ ! -e "$desktop" ] || fail "a silent install made the desktop shortcut, which is unticked"
# NSIS pads the uninstaller's pictures to the installer's sizes, which wrestool reports.
wrestool -x -t 14 "$folder/Uninstall.exe" 2>/dev/null >"$WORK/uninstall.ico"
icotool -x -i 1 -o - "$WORK/uninstall.ico" |
    cmp -s - <(icotool -x -i 1 -o - "$STARTUG_INSTALLER_ART/uninstall.ico") ||
    fail "Uninstall.exe does not carry the uninstaller's icon"

entry=$(registry_values "$key")
echo "$entry"
for value in 'DisplayName REG_SZ StarTug' 'DisplayVersion REG_SZ 1.0.0' \
    'Publisher REG_SZ The StarTug developers' \
    'DisplayIcon REG_SZ C:\Program Files\StarTug\startug.exe' \
    'InstallLocation REG_SZ C:\Program Files\StarTug' \
    'UninstallString REG_SZ "C:\Program Files\StarTug\Uninstall.exe"' \
    'NoModify REG_DWORD 0x1' 'NoRepair REG_DWORD 0x1'; do
    grep -qxF "$value" <<<"$entry" || fail "the uninstall entry lacks $value"
done
estimated=$(($(sed -n 's/^EstimatedSize REG_DWORD //p' <<<"$entry")))
installed=$(($(find "$folder" -type f -printf '%s+') 0))
echo "EstimatedSize $estimated KiB, installed files $((installed / 1024)) KiB"
[ $((estimated * 1024 * 10)) -ge $((installed * 9)) ] &&
    [ $((estimated * 1024 * 10)) -le $((installed * 11)) ] ||
    fail "EstimatedSize is not within 10 % of the installed files' size"

echo "-- the game started as its Start-menu entry starts it: its target in its working folder"
GAME_COMMAND=("$here/wine-run" "$STARTUG_WINEPREFIX" 'C:\Program Files\StarTug\startug.exe')
start_game "$(in_wine winepath -u 'C:\Program Files\StarTug' | tr -d '\r')"
wait_for_text screen "ENTERING LEVEL 1"
hold_key Escape 0.5
wait_game 60
expect_normal_end "ESC at the first intermission"

echo "-- silent uninstall"
in_wine "$folder/Uninstall.exe" /S || fail "the uninstaller failed"
wineserver -w
[ ! -e "$folder" ] || fail "the uninstaller left $(find "$folder" | tail -n +2 | tr '\n' ' ')"
[ ! -e "$menu" ] || fail "the uninstaller left the Start-menu folder"
for gone in "$key" "$publisher_key\StarTug" "$publisher_key"; do
    ! in_wine reg query "$gone" >/dev/null 2>&1 || fail "the uninstaller left $gone"
done
echo "PASS"
