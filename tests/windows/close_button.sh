#!/usr/bin/env bash
# Alt+F4, Windows' close, in a level: the game ends as it does on ESC, with exit status 0.
export STARTUG_WINE=1
source "$(dirname "$0")/../display/lib.sh"

start_game "$(copy_game)"
wait_for_text screen "ENTERING LEVEL 1"
xdotool keydown space
wait_for_text hud "COMPLETE: 0 / 1  FUEL:0350"
xdotool keyup space
# Real key presses to the focused window, held long enough for Wine to see them; pressed
# again while the game still runs, so a press lost while the window takes focus fails nothing.
for attempt in 1 2 3 4 5; do
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true
    xdotool keydown alt keydown F4
    sleep 0.2
    xdotool keyup F4 keyup alt
    for _ in $(seq 50); do
        kill -0 "$GAME_PID" 2>/dev/null || break 2
        sleep 0.1
    done
done
wait_game 60
expect_normal_end "Alt+F4"
echo "PASS"
