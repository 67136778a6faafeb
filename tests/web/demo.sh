#!/usr/bin/env bash
# The autopilot's page: it starts by itself (or on a click) and the autopilot wins level 1,
# nobody touching a key or the mouse until "ENTERING LEVEL 2" shows.
source "$(dirname "$0")/lib.sh"

open_page demo.html
[ "$(web state)" != ready ] || click_canvas
wait_for_text screen "ENTERING LEVEL 1" 120
# The autopilot needs about 1200 frames for level 1; the deadline only guards against a
# pilot that never wins. The screen is read without a pause: the next intermission lasts
# only 200 frames.
deadline=$((SECONDS + 900))
shot=0
while :; do
    grab_screen
    # Both candidates, so that the first screen cannot pass for the second.
    [ "$(best_text screen "ENTERING LEVEL 1" "ENTERING LEVEL 2" || true)" = 1 ] && break
    [ "$(web state)" = running ] || fail "the demo is '$(web state)' inside level 1"
    [ $SECONDS -lt $deadline ] || fail "level 1 was not won in time"
    # A few pictures of the flight for whoever reads the artifacts.
    [ $((shot++ % 10)) -eq 5 ] && cp "$WORK/screen.png" "$ARTIFACTS/level1-$shot.png"
done
screenshot level2-intermission >/dev/null
echo "PASS: the autopilot won level 1 in the browser after $SECONDS s"
