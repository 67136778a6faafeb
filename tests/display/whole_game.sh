#!/usr/bin/env bash
# The whole game with the real program and real input: the first intermission, the HUD
# before and after thrusting, F12 through every level to "YOU WIN!" and exit status 0;
# and ESC inside a level ending the game without the win screen. Neither run writes a
# file or plays a sound.
source "$(dirname "$0")/lib.sh"
game=$(copy_game)
DOCS=${STARTUG_DOCS:-}
use_gate
mkdir "$WORK/home"
GAME_ENV+=(HOME="$WORK/home")

# Every file where the game could leave one: its working directory, its data and its
# home, with sizes and modification times.
files_now() { find "$game" "$GAME_DIR" "$WORK/home" -printf '%p %s %T@\n' | sort; }
files_before=$(files_now)

# The last run wrote no file and, where the gate sees its calls, played no sound.
expect_no_traces() {
    [ "$(files_now)" = "$files_before" ] ||
        fail "$1 left files behind: $(diff <(echo "$files_before") <(files_now) | tail -n +2)"
    [ -z "$GATE" ] || [ -z "$(gate_calls play_sample)" ] || fail "$1 played a sound"
}

# Holds SPACE until the level's HUD shows, then lets go.
skip_intermission_to() {
    xdotool keydown space
    wait_for_text hud "$1"
    xdotool keyup space
}

# The fuel the level-1 HUD shows now, read by matching every possible value.
fuel_shown() {
    local candidates=() fuel
    for ((fuel = 0; fuel <= 350; fuel++)); do
        candidates+=("$(printf 'COMPLETE: 0 / 1  FUEL:%04d' "$fuel")")
    done
    best_text hud "${candidates[@]}"
}

echo "-- level 1 from the start"
start_game "$game"
wait_for_text screen "ENTERING LEVEL 1"
screenshot intermission-level1 >/dev/null
skip_intermission_to "COMPLETE: 0 / 1  FUEL:0350"

echo "-- thrusting lowers the fuel shown"
xdotool mousemove --window "$WINDOW" 700 300
xdotool mousedown 1
sleep 1.0
level1=$(screenshot level1)
xdotool mouseup 1
grab_screen
fuel=$(fuel_shown) || fail "the HUD shows no fuel figure after thrusting"
echo "fuel after thrusting: $fuel"
[ "$fuel" -lt 350 ] || fail "thrusting did not lower the fuel shown"

for level in 2 3; do
    echo "-- F12 skips to level $level"
    hold_key F12 0.3
    wait_for_text screen "ENTERING LEVEL $level"
    case $level in
        2) skip_intermission_to "COMPLETE: 0 / 6  FUEL:1500" ;;
        3) skip_intermission_to "COMPLETE: 1 / 12  FUEL:4000" ;;
    esac
    screenshot "level$level" >/dev/null
done

echo "-- F12 in the last level leads to the win screen and a normal end"
hold_key F12 0.3
wait_for_text screen "YOU WIN!"
screenshot win >/dev/null
wait_game
expect_normal_end "winning"
expect_no_traces "a whole game"

echo "-- ESC inside a level ends the game without the win screen"
start_game "$game"
wait_for_text screen "ENTERING LEVEL 1"
skip_intermission_to "COMPLETE: 0 / 1  FUEL:0350"
xdotool keydown Escape
while kill -0 "$GAME_PID" 2>/dev/null; do
    grab_screen
    ! text_on_screen screen "YOU WIN!" || fail "ESC showed the win screen"
    sleep 0.1
done
xdotool keyup Escape
wait_game
expect_normal_end "ESC"
expect_no_traces "a game ended with ESC"

[ -n "$DOCS" ] && cp "$level1" "$DOCS/level1.png"
echo "PASS"
