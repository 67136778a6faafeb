#!/usr/bin/env bash
# The browser draws what the Linux build draws: the first intermission, level 1 before its
# first tick and after it (the ship lit, the star field, the goal, the pointer and the
# HUD), and the win screen, each taken from one game in each and compared. Two frames
# count as alike when few pixels differ by more than a small colour distance: rounding and
# edges differ between two OpenGL implementations; a lost colour, a missing quad or a
# wrong light change thousands of pixels by much more.
source "$(dirname "$0")/lib.sh"

FUZZ=12%         # of the largest colour distance, per pixel
MOST_DIFFERING=4000  # pixels of 786432, half a percent

# Takes this game's frames as FRAME-SUFFIX.png into the artifacts.
take_frames() {
    local suffix=$1
    wait_for_text screen "ENTERING LEVEL 1"
    screenshot "intermission-$suffix" >/dev/null
    # PAUSE held from the intermission pauses the level before its first tick, so its first
    # frame stays: the level as its table sets it up, with the pointer at the centre.
    web key-down Pause
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
# Allegro's X port flips key[KEY_PAUSE] at each press and ignores the release, so there
# the second press after the first release is the one that counts.
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

# Compares FRAME-web.png with FRAME-linux.png, within WIDTHxHEIGHT+X+Y when given; the
# difference image joins them in the artifacts.
compare_frame() {
    local frame=$1 region=${2:-1024x768+0+0} differing peak
    differing=$(compare -metric AE -fuzz "$FUZZ" -extract "$region" "$ARTIFACTS/$frame-web.png" \
        "$ARTIFACTS/$frame-linux.png" "$ARTIFACTS/$frame-difference.png" 2>&1) || true
    peak=$(compare -metric PAE -extract "$region" "$ARTIFACTS/$frame-web.png" \
        "$ARTIFACTS/$frame-linux.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/') || true
    echo "$frame: $differing pixels of ${region%%+*} differ by more than $FUZZ; the largest" \
        "channel difference is $peak of full scale"
    [ "$differing" -le "$MOST_DIFFERING" ] 2>/dev/null || FAILED+=" $frame"
}

echo "-- the Linux build"
start_game "$(copy_game)"
take_frames linux
wait_game
expect_normal_end "winning"

echo "-- the browser"
open_page index.html
click_canvas
take_frames web

FAILED=""
compare_frame intermission
compare_frame level1
# Below the stars, whose turn and glow depend on how many ticks ran.
compare_frame level1-ship 1024x528+0+240
compare_frame win
[ -z "$FAILED" ] || fail "the browser's frames differ from Linux's:$FAILED"
echo "PASS"
