#!/usr/bin/env bash
# The window's close button, sent as a window manager (openbox) sends it for `wmctrl -c`: it
# ends the game wherever the player is, after the frame on screen, with exit status 0: at an
# intermission without going on to the level, in a level, and at the win screen.
#
# No verdict depends on timing: the frame gate (frame_gate.cpp) holds the program at a chosen
# frame while the window is closed, and lets it go once the program's close handler has run.
source "$(dirname "$0")/lib.sh"
game=$(copy_game)
use_gate
start_window_manager

# Closes the window while frame FRAME is on screen; the game must end right after it.
# close_at FRAME PLACE
close_at() {
    local frame=$1 place=$2
    held_after_frame "$frame"
    close_window
    gate_shows closed 1
    let_go "$frame"
    wait_game
    expect_normal_end "closing the window $place"
    [ "$(frames_shown)" = "$frame" ] ||
        fail "closed $place at frame $frame, the game went on to frame $(frames_shown)"
}

echo "-- at the first intermission: the game ends without playing the level"
FRAME_GATE_HOLD=5 start_game "$game"
close_at 5 "at the first intermission"

echo "-- in level 1, whose intermission shows 200 frames when no key is pressed"
FRAME_GATE_HOLD=205 start_game "$game"
close_at 205 "in level 1"

echo "-- at the win screen: SPACE and F12 held from the first frame reach it at frame 127"
FRAME_GATE_HOLD="1 130" start_game "$game"
held_after_frame 1
xdotool keydown F12 keydown space
gate_shows keys "space=1 esc=0" # F12 went down first, so the program sees it as well
let_go 1
close_at 130 "at the win screen"
xdotool keyup space keyup F12
echo "PASS"
