#!/usr/bin/env bash
# The installed game's window belongs to its menu entry: its class is the desktop entry's
# StartupWMClass and its icon the menu's 48-pixel icon, read back from the X server.
# Without its data directory the launcher still starts the program, which reports the
# first missing file the usual way and exits 1.
# Called as: SCRIPT LAUNCHER DATA_DIR ARTIFACT_DIR, with STARTUG_INSTALLED=1.
source "$(dirname "$0")/../display/lib.sh"
share=$(cd "$GAME_DIR/../.." && pwd)
entry=$(echo "$share"/applications/*.desktop)
workdir=$(copy_game)

echo "-- the window's class and icon"
start_game "$workdir"
wmclass=$(sed -n 's/^StartupWMClass=//p' "$entry")
[ -n "$wmclass" ] || fail "the desktop entry has no StartupWMClass"
class=$(xprop -id "$WINDOW" WM_CLASS)
[ "$class" = "WM_CLASS(STRING) = \"startug\", \"$wmclass\"" ] ||
    fail "the window's $class does not match StartupWMClass=$wmclass"
convert "$share/icons/hicolor/48x48/apps/$(basename "$entry" .desktop).png" -depth 8 \
    "rgba:$WORK/icon.rgba"
"$STARTUG_WINDOWICON" "$WINDOW" "$WORK/icon.rgba" || fail "the window's icon is not the menu's"
hold_key Escape 1.0
wait_game
expect_normal_end "a start ended with ESC"

echo "-- without the data directory"
mv "$GAME_DIR" "$WORK/data"
run_to_end "$workdir"
mv "$WORK/data" "$GAME_DIR"
expect_reported_failure "Failed to load texture: gfx/background.tga"
echo "PASS"
