#!/usr/bin/env bash
# The whole game on the page as a player gets it: a click starts it at the first
# intermission, SPACE and F12 lead through every level to "YOU WIN!", after which the
# program has ended and the page offers "Play again", which starts a new game.
source "$(dirname "$0")/lib.sh"

open_page index.html
[ "$(web state)" = ready ] || fail "the page is '$(web state)' before the click, not ready"
click_canvas

echo "-- level 1 from the start, then F12 through every level"
wait_for_text screen "ENTERING LEVEL 1"
screenshot intermission-level1 >/dev/null
skip_intermission_to "COMPLETE: 0 / 1  FUEL:0350"
screenshot level1 >/dev/null
play_to_win
screenshot win >/dev/null

echo "-- the program ends and the page says so"
web wait-state ended 60 || fail "the page never reached 'ended' after the win screen"
web shown '#again' || fail "no 'Play again' button after the end"
status=$(web text '#status')
echo "status: $status"
[ -n "$status" ] || fail "the status line is empty after the end"

echo "-- Play again starts a new game"
web click-element '#again'
wait_for_text screen "ENTERING LEVEL 1"
[ "$(web state)" = running ] || fail "the page is '$(web state)' in the new game, not running"
echo "PASS"
