#!/usr/bin/env bash
# The demo program on a real display: the autopilot wins level 1 of the real game with
# the game's own frame loop (nobody touches a key or the mouse until "ENTERING LEVEL 2"
# shows), then ESC ends the demo with exit status 0.
# Called as: SCRIPT DEMO_BINARY GAME_DIR ARTIFACT_DIR
source "$(dirname "$0")/../tests/display/lib.sh"
game=$(copy_game)  # the demo binary goes in under the game's name

start_game "$game"
wait_for_text screen "ENTERING LEVEL 1"
# The autopilot needs about 1100 frames for level 1; the deadline only guards against a
# pilot that never wins.
deadline=$((SECONDS + 600))
shot=0
while :; do
    grab_screen
    # Both candidates, so that the first screen cannot pass for the second.
    [ "$(best_text screen "ENTERING LEVEL 1" "ENTERING LEVEL 2" || true)" = 1 ] && break
    kill -0 "$GAME_PID" 2>/dev/null || fail "the demo ended inside level 1"
    [ $SECONDS -lt $deadline ] || fail "level 1 was not won in time"
    # A few pictures of the flight for whoever reads the artifacts.
    [ $((shot++ % 10)) -eq 5 ] && cp "$WORK/screen.png" "$ARTIFACTS/level1-$shot.png"
    sleep 1
done
screenshot level2-intermission >/dev/null
hold_key Escape
wait_game 120
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after ESC"
grep -q "level 1: tow to goal 1" "$GAME_LOG" || fail "no commentary on standard output"
echo "PASS: the autopilot won level 1 of the real program"
