#!/usr/bin/env bash
# Start-up failures are reported in the game's report format, never hang or crash,
# and end with exit status 1; a normal start ended with ESC exits 0.
source "$(dirname "$0")/lib.sh"
game=$(copy_game)

expect_report() {
    expect_reported_failure "$1"
    grep -q "^Allegro error: " "$GAME_LOG" || fail "report lacks the Allegro error line"
    grep -q "^Allegro GL error : " "$GAME_LOG" || fail "report lacks the AllegroGL error line"
}

echo "-- no X display at all"
saved_display=$DISPLAY
unset DISPLAY
run_to_end "$game"
export DISPLAY=$saved_display
expect_report "Unable to initialise Allegro"

echo "-- an X server without GLX"
EXIT_STATUS=0
(cd "$game" && timeout 120 xvfb-run -a -s "-screen 0 1024x768x24 -extension GLX" \
    env PATH=$NO_XMESSAGE_PATH ./startug) >"$GAME_LOG" 2>&1 || EXIT_STATUS=$?
[ "$EXIT_STATUS" -ne 124 ] || fail "the program hung"
expect_report "Unable to set gfx mode"

echo "-- a normal start, ended with ESC (the f switch falls back to a window under Xvfb)"
for args in "" "f"; do
    start_game "$game" $args
    screenshot "started${args:+-$args}" >/dev/null
    hold_key Escape 1.0
    wait_game
    expect_normal_end "a normal start ended with ESC"
done
echo "PASS"
