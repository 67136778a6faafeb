#!/usr/bin/env bash
# The zip as a player uses it: unpacked into a fresh folder, its startug.exe plays the whole
# game under Wine (the Linux whole-game script in its Wine mode), and the first frame of
# level 1 is the Linux build's, pixel for pixel.
export STARTUG_WINE=1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../display/lib.sh"

unzipped=$WORK/unzipped
mkdir "$unzipped"
(cd "$unzipped" && cmake -E tar xf "$STARTUG_PACKAGE.zip") || fail "cannot unpack the zip"
folder=$unzipped/$(basename "$STARTUG_PACKAGE")
for file in startug.exe startug-demo.exe font.pcx gfx/star.tga models/ship.model README.txt \
    LICENSE.txt; do
    [ -f "$folder/$file" ] || fail "the zip holds no $file"
done

echo "-- the whole game from the unpacked folder"
bash "$here/../display/whole_game.sh" "$folder/startug.exe" "$folder" "$ARTIFACTS/whole_game" ||
    fail "the whole game did not play under Wine"

# PAUSE held from the intermission pauses the level before its first tick, so its first
# frame stays on screen: the level as its table sets it up, whatever the speed.
first_level_frame() {
    start_game "$1"
    CAPTURE_WINDOW=1
    wait_for_text screen "ENTERING LEVEL 1"
    xdotool keydown Pause keydown space
    wait_for_text hud "COMPLETE: 0 / 1  FUEL:0350"
    xdotool keyup space
    screenshot "$2" >/dev/null
    xdotool keyup Pause
    hold_key Escape 0.5
    wait_game
    expect_normal_end "ESC on the paused level"
}

echo "-- the first frame of level 1, on Windows and on Linux"
first_level_frame "$(copy_game)" level1-windows
rm -rf "$WORK/game"
GAME_COMMAND=(./startug) GAME_PATH=$NO_XMESSAGE_PATH
cp -r "$STARTUG_NATIVE_GAME_DIR" "$WORK/game"
first_level_frame "$WORK/game" level1-linux
differing=$(compare -metric AE "$ARTIFACTS/level1-windows.png" "$ARTIFACTS/level1-linux.png" \
    "$ARTIFACTS/level1-difference.png" 2>&1) || true
echo "pixels that differ: $differing"
[ "$differing" = 0 ] || fail "the Windows build's first frame differs from Linux's in $differing pixels"
echo "PASS"
