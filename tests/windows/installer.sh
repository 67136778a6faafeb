#!/usr/bin/env bash
# The installer as a player runs it, silently (/S) under Wine: the game's files in
# Program Files\StarTug, the Start-menu entry (its target, working folder and icon) and the
# uninstall entry Apps & features lists; the game started the way the entry starts it; then
# the silent uninstaller leaves no file, entry or registry key behind.
export STARTUG_WINE=1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../display/lib.sh"
export WINEPREFIX=$STARTUG_WINEPREFIX
in_wine() { "$here/wine-run" "$STARTUG_WINEPREFIX" "$@"; }

folder="$WINEPREFIX/drive_c/Program Files/StarTug"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/StarTug"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\StarTug'
# The uninstall entry's values as NAME=VALUE lines; nothing when there is no entry.
uninstall_entry() {
    in_wine reg query "$key" 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *\([A-Za-z]*\) *REG_[A-Z_]* *\(.*\)$/\1=\2/p' || true
}
[ ! -e "$folder" ] && [ -z "$(uninstall_entry)" ] || fail "StarTug is installed already"

echo "-- silent install"
in_wine "$STARTUG_PACKAGE-setup.exe" /S || fail "the installer failed"
wineserver -w
for file in startug.exe startug-demo.exe Uninstall.exe README.txt LICENSE.txt font.pcx \
    models/ship.model; do
    [ -f "$folder/$file" ] || fail "the installer put no $file in Program Files\\StarTug"
done
diff -r "$GAME_DIR/gfx" "$folder/gfx" >/dev/null || fail "the installed gfx differ from the build's"

shortcut=$(python3 "$here/lnk.py" "$menu/StarTug.lnk") || fail "no Start-menu entry"
echo "$shortcut"
[ "$shortcut" = 'target=C:\Program Files\StarTug\startug.exe
workdir=C:\Program Files\StarTug
arguments=
icon=' ] || fail "the Start-menu entry does not start the game in its folder with its own icon"

entry=$(uninstall_entry)
echo "$entry"
for value in 'DisplayName=StarTug' 'DisplayVersion=1.0.0' 'Publisher=The StarTug developers' \
    'DisplayIcon=C:\Program Files\StarTug\startug.exe' \
    'UninstallString="C:\Program Files\StarTug\Uninstall.exe"'; do
    grep -qxF "$value" <<<"$entry" || fail "the uninstall entry lacks $value"
done

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
[ -z "$(uninstall_entry)" ] || fail "the uninstaller left the uninstall entry"
echo "PASS"
