#!/usr/bin/env bash
# The first intermission of the real program: white text on the dark blue screen at the
# left edge, 350 to 382 pixels above the bottom; SPACE seen before the 41st frame does
# not end it; ESC ends it after the frame that sees it, and ESC still held then ends the
# game after the level's first frame, with exit status 0. A second run, whose ESC is let
# go before the level's first key test, plays the level; its first frame is the first
# run's to the pixel, since the random sequence is never seeded.
#
# No verdict depends on timing: frame_gate.cpp holds the program after chosen buffer flips
# until the test lets it go, and reports which keys the program's next key test will see.
source "$(dirname "$0")/lib.sh"
game=$(copy_game)
use_gate

# The intermission text and its dark blue background (0.4 of full blue; 16-bit colour
# rounds it to 12 of 31 steps, 98 of 255).
expect_intermission() {
    text_on_screen screen "ENTERING LEVEL 1" || fail "$1: the intermission text is not on screen"
    local r g b
    read -r r g b < <(mean_colour "$WORK/screen.png" 500x300+512+0)
    [ "${r%.*}" -le 4 ] && [ "${g%.*}" -le 4 ] && [ "${b%.*}" -ge 94 ] && [ "${b%.*}" -le 106 ] ||
        fail "$1: the background is ($r, $g, $b), not dark blue"
}

FRAME_GATE_HOLD="5 6 8 9 10" start_game "$game"

echo "-- SPACE seen in the 5th frame, released before the 6th's key test"
held_after_frame 5
xdotool keydown space
gate_shows keys "space=1 esc=0"
let_go 5
held_after_frame 6
xdotool keyup space
gate_shows keys "space=0 esc=0"
let_go 6

echo "-- the intermission goes on"
held_after_frame 8
grab_screen
cp "$WORK/screen.png" "$ARTIFACTS/intermission.png"
expect_intermission "after SPACE in frame 5"
let_go 8

echo "-- ESC seen in the 9th frame ends it; still held, it ends the game after the level's first frame"
held_after_frame 9
xdotool keydown Escape
gate_shows keys "space=0 esc=1"
let_go 9
held_after_frame 10
grab_screen
cp "$WORK/screen.png" "$ARTIFACTS/level.png"
! text_on_screen screen "ENTERING LEVEL 1" || fail "the intermission is still on screen after ESC"
let_go 10
wait_game
xdotool keyup Escape
expect_normal_end "ESC"
[ "$(frames_shown)" = 10 ] || fail "$(frames_shown) frames were shown, not 9 + 1"

echo "-- a second run: ESC seen in the first frame ends the intermission only"
FRAME_GATE_HOLD="1 2 4" start_game "$game"
held_after_frame 1
xdotool keydown Escape
gate_shows keys "space=0 esc=1"
let_go 1
held_after_frame 2
grab_screen
cp "$WORK/screen.png" "$ARTIFACTS/level-again.png"
xdotool keyup Escape
gate_shows keys "space=0 esc=0"
# The random sequence is never seeded: both runs draw the same first frame of the level.
differing=$(compare -metric AE "$ARTIFACTS/level.png" "$ARTIFACTS/level-again.png" null: 2>&1) ||
    true
[ "$differing" = 0 ] || fail "the level's first frame differs between two runs in $differing pixels"
let_go 2

echo "-- the level plays on: its third frame is drawn"
held_after_frame 4
grab_screen
text_on_screen hud "COMPLETE: 0 / 1  FUEL:0350" || fail "the level's HUD is not on screen"
let_go 4
hold_key Escape 1.0
wait_game
expect_normal_end "ESC in the level"
echo "PASS"
