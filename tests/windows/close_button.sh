#!/usr/bin/env bash
# Alt+F4, Windows' close, in a level: the game ends as it does on ESC, with exit status 0.
export STARTUG_WINE=1
source "$(dirname "$0")/../display/lib.sh"

start_game "$(copy_game)"
wait_for_text screen "ENTERING LEVEL 1"
xdotool keydown space
wait_for_text hud "COMPLETE: 0 / 1  FUEL:0350"
xdotool keyup space
xdotool key --window "$WINDOW" alt+F4
wait_game 60
expect_normal_end "Alt+F4"
echo "PASS"
