#!/usr/bin/env bash
# Start-up failures are reported in the game's report format, never hang or crash, close
# the display and end with exit status 1; a display without depth bits is refused before
# any input or sound is installed, and an exception of another type than the game's own
# gets the plain report. A normal start ended with ESC exits 0; the f switch asks AllegroGL
# for full screen with the same suggestions as a window (Xvfb falls back to a window).
source "$(dirname "$0")/lib.sh"
game=$(copy_game)

expect_report() {
    expect_reported_failure "$1"
    grep -q "^Allegro error: " "$GAME_LOG" || fail "report lacks the Allegro error line"
    grep -q "^Allegro GL error : " "$GAME_LOG" || fail "report lacks the AllegroGL error line"
}

# The input and sound drivers the last gated run installed, in order, on one line.
installed() { grep -o '^install_[a-z]*' "$GATE/calls" | tr '\n' ' ' || true; }

echo "-- no X display at all"
saved_display=$DISPLAY
unset DISPLAY
run_to_end "$game"
export DISPLAY=$saved_display
expect_report "Unable to initialise Allegro"

# From here on each run brought Allegro up, and the gate sees its calls.
use_gate

echo "-- an X server without GLX"
EXIT_STATUS=0
clear_gate
(cd "$game" && timeout 120 xvfb-run -a -s "-screen 0 1024x768x24 -extension GLX" \
    env PATH=$NO_XMESSAGE_PATH "${GAME_ENV[@]}" ./startug) >"$GAME_LOG" 2>&1 || EXIT_STATUS=$?
[ "$EXIT_STATUS" -ne 124 ] || fail "the program hung"
expect_report "Unable to set gfx mode"

echo "-- a display without depth bits"
FRAME_GATE_NO_DEPTH=1 run_to_end "$game"
expect_report "No depth buffer"
[ -z "$(installed)" ] || fail "installed $(installed)before refusing the display"

echo "-- an exception that is not the game's own kind, in the first frame"
FRAME_GATE_THROW=1 run_to_end "$game"
grep -qx "Unknown exception thrown" "$GAME_LOG" || fail "no report of an unknown exception"
! grep -q "Unexpected exception" "$GAME_LOG" || fail "an unknown exception got the game's report"
! grep -q "Shutting down Allegro due to signal" "$GAME_LOG" || fail "the program crashed"
[ "$EXIT_STATUS" -eq 1 ] || fail "exit status $EXIT_STATUS after an unknown exception, not 1"
expect_text_mode_once

# What InitAllegro asks of AllegroGL, as "option value" in decimal: 16-bit colour, double
# buffering, 16 depth bits, a window (AGL_WINDOWED, 0x80000) or full screen
# (AGL_FULLSCREEN, 0x40000) with Allegro's TRUE, and then in both cases the same
# suggestion mask, colour depth | double buffer | depth | windowed (0x82420).
settings() { printf '32 16\n1024 1\n8192 16\n%s -1\n-1 533536\n' "$1"; }

echo "-- a normal start, ended with ESC, without and with the f switch"
for args in "" "f"; do
    start_game "$game" $args
    screenshot "started${args:+-$args}" >/dev/null
    hold_key Escape 1.0
    wait_game
    expect_normal_end "a normal start ended with ESC"
    [ "$(installed)" = "install_keyboard install_mouse install_timer install_sound " ] ||
        fail "installed '$(installed)', not the keyboard, mouse, timer and sound"
    expected=$(settings $([ -n "$args" ] && echo 262144 || echo 524288))
    [ "$(gate_calls allegro_gl_set)" = "$expected" ] ||
        fail "asked AllegroGL for $(gate_calls allegro_gl_set | tr "\n" ,) not $(echo "$expected" | tr "\n" ,)"
done
echo "PASS"
