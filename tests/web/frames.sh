#!/usr/bin/env bash
# The browser draws what the Linux build draws: the first intermission, level 1 before its
# first tick and after it (the ship lit, the star field, the goal, the pointer and the
# HUD), and the win screen, each taken from one game in each and compared. Two OpenGL
# implementations may put a line or an edge a pixel apart and round colours differently,
# so a pixel counts as wrong only when it lies, in some channel, more than FUZZ outside
# the range of the other frame's pixels around it, either way. Measured on level 1's
# frames between Mesa's llvmpipe and softpipe: 0 to 2 such pixels (146 differ plainly, on
# the goal's circle); between 24- and 16-bit colour: 0; headless Chromium's WebGL 2
# (SwiftShader) against llvmpipe: 0 (16 differ plainly). A light from the wrong side makes
# 370, the pointer's quad left out 296, the goal's colour lost 416.
source "$(dirname "$0")/lib.sh"

FUZZ=6%         # of full scale, per channel
MOST_WRONG=100  # pixels of a frame

# Takes this game's frames as FRAME-SUFFIX.png into the artifacts. PAUSE, held since the
# intermission, pauses the level before its first tick, so its first frame stays: the level
# as its table sets it up, with the pointer at the centre.
take_frames() {
    local suffix=$1
    wait_for_text screen "ENTERING LEVEL 1"
    screenshot "intermission-$suffix" >/dev/null
    skip_intermission_to "COMPLETE: 0 / 1  FUEL:0350"
    screenshot "level1-$suffix" >/dev/null
    web key-up Pause
    run_level "$ARTIFACTS/level1-$suffix.png"
    screenshot "level1-ship-$suffix" >/dev/null
    play_to_win
    screenshot "win-$suffix" >/dev/null
}

# Presses PAUSE until the paused level whose first frame is FIRST_FRAME runs: the ship,
# the stars and the star field join at the first tick. The pointer on the ship's centre
# leaves its heading alone, so then all stands still but the stars, which turn and pulse.
# On X the first press only lifts the key the game saw held, the second flips the pause.
run_level() {
    local press
    for press in 1 2 3 4; do
        hold Pause
        grab_screen
        [ "$(compare -metric AE -fuzz 10% -extract 120x120+452+324 "$1" "$WORK/screen.png" \
            null: 2>&1)" -lt 2000 ] || return 0
    done
    fail "the level never ran after $press presses of PAUSE"
}

# How many pixels of FIRST lie, in some channel, more than FUZZ outside the range of
# SECOND's pixels in the 3x3 square around them.
outside_neighbours() {
    convert "$2" -morphology Dilate Square:1 "$WORK/highest.png"
    convert "$2" -morphology Erode Square:1 "$WORK/lowest.png"
    convert \( "$1" "$WORK/highest.png" -compose minus_src -composite \) \
        \( "$WORK/lowest.png" "$1" -compose minus_src -composite \) -compose lighten -composite \
        -separate -evaluate-sequence max -threshold $FUZZ -format '%[fx:round(mean * w * h)]' info:
}

# Compares FRAME-web.png with FRAME-linux.png, within WIDTHxHEIGHT+X+Y when given; the
# plain difference joins them in the artifacts.
compare_frame() {
    local frame=$1 region=${2:-1024x768+0+0} side differing peak wrong=0 apart
    local size=${region%%+*}
    for side in web linux; do
        convert "$ARTIFACTS/$frame-$side.png" -alpha off -crop "$region" +repage "$WORK/$side.png"
    done
    differing=$(compare -metric AE -fuzz $FUZZ "$WORK/web.png" "$WORK/linux.png" \
        "$ARTIFACTS/$frame-difference.png" 2>&1) || true
    peak=$(compare -metric PAE "$WORK/web.png" "$WORK/linux.png" null: 2>&1) || true
    for apart in $(outside_neighbours "$WORK/web.png" "$WORK/linux.png") \
        $(outside_neighbours "$WORK/linux.png" "$WORK/web.png"); do
        [ "$apart" -le "$wrong" ] || wrong=$apart
    done
    echo "$frame: $differing of $size pixels" \
        "($(awk "BEGIN {printf \"%.3f\", 100 * $differing / (${size/x/*})}")%) differ by more" \
        "than $FUZZ, $wrong beyond their neighbours; the largest channel difference: ${peak#* }"
    [ "$wrong" -le $MOST_WRONG ] || FAILED+=" $frame"
}

echo "-- the Linux build"
start_game "$(copy_game)"
wait_for_text screen "ENTERING LEVEL 1"
# Allegro's X port flips key[KEY_PAUSE] at each press of the key and ignores its release: a
# tap holds it down for the game, where a held key's autorepeat would flip it on and on.
xdotool key Pause
take_frames linux
wait_game
expect_normal_end "winning"

echo "-- the browser"
open_page index.html
click_canvas
# The intermission may end by itself before its text is seen: PAUSE goes down as soon as
# the game has started, which installs the keyboard before it first hands the page a frame.
web wait-state running 60 || fail "the game never started"
web key-down Pause
take_frames web

FAILED=""
compare_frame intermission
compare_frame level1
# Below the stars, whose turn and glow depend on how many ticks ran.
compare_frame level1-ship 1024x528+0+240
compare_frame win
[ -z "$FAILED" ] || fail "the browser's frames differ from Linux's:$FAILED"
echo "PASS"
