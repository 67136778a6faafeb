#!/usr/bin/env bash
# The mouse in level 1: the ship turns its nose toward the pointer on each side of it; the
# left button thrusts, drawing the exhaust behind the ship; the right button draws the
# tractor beam to a star only once the ship has flown within its reach. Level 1's ship
# starts at the canvas's centre, the camera follows it, and its first star lies up and to
# the right, 4 units each way, at 76.8 pixels a unit: on the canvas at (819, 77).
source "$(dirname "$0")/lib.sh"

HULL=160x160+432+304   # around the ship
EXHAUST=70x70+532+349  # behind the ship when it points left
BEAM=80x80+552+264     # between the ship and the star, beside neither

# The heading the ship shows in the last screenshot, in degrees clockwise from up: its
# nose points away from the centre of its bright hull, as a delta wing's area lies aft.
heading_shown() {
    convert "$WORK/screen.png" -crop $HULL +repage -separate -evaluate-sequence Min \
        -threshold 43% "$WORK/hull.png"
    identify -verbose -moments "$WORK/hull.png" | awk -F '[:,]' '/Centroid/ {
        printf "%d\n", (atan2(80 - $2, $3 - 80) * 57.29578 + 360) % 360; exit }'
}

# Points at canvas X Y and waits until the ship's nose is within 30 degrees of HEADING
# (the hull's centre reads a still ship up to 16 degrees off; a wrong turn is 90 or more).
steer_to() {
    local x=$1 y=$2 heading=$3 deadline=$((SECONDS + 60)) shown off
    web move "$x" "$y"
    until grab_screen && shown=$(heading_shown) && off=$(((shown - heading + 540) % 360 - 180)) &&
        [ "${off#-}" -le 30 ]; do
        [ $SECONDS -lt $deadline ] || fail "the ship points at $shown degrees, never at $heading"
        sleep 0.2
    done
    echo "pointer at ($x, $y): the ship turned to $shown degrees"
}

# How many pixels of REGION of the last screenshot are bluish (as the beam is) or of a
# pale grey (as the exhaust is): pixels REGION bluish|greyish
pixels() {
    local kind='b - r > 0.15 && b > 0.3'
    [ "$2" = bluish ] ||
        kind='max(r, max(g, b)) - min(r, min(g, b)) < 0.12 && min(r, min(g, b)) > 0.2'
    convert "$WORK/screen.png" -crop "$1" +repage -fx "$kind" \
        -format '%[fx:round(mean * w * h)]' info:
}

# Takes a screenshot while BUTTON is held at the star, long enough for the game to see it.
shot_holding() {
    web down 819 77 "$1"
    sleep 0.3
    grab_screen
    web up 819 77 "$1"
}

# The fuel the HUD shows, 330 to 350, matched against each figure's text drawn once.
FUEL_TEXTS=()
for ((fuel = 330; fuel <= 350; fuel++)); do
    FUEL_TEXTS+=("$(text_bitmap hud "COMPLETE: 0 / 1  FUEL:0$fuel")")
done
fuel_shown() {
    local best
    grab_screen
    best=$(python3 "$STARTUG_TEXTMATCH" "$WORK/screen.pgm" $HUD_ROW "${FUEL_TEXTS[@]}") ||
        fail "the HUD shows less than 330 fuel"
    echo $((330 + ${best%% *}))
}

open_page index.html
click_canvas
wait_for_text screen "ENTERING LEVEL 1"
skip_intermission_to "COMPLETE: 0 / 1  FUEL:0350"

echo "-- the ship turns toward the pointer"
steer_to 900 384 90
steer_to 512 700 180
steer_to 124 384 270
cp "$WORK/screen.png" "$ARTIFACTS/left.png"

echo "-- the left button thrusts: the exhaust shows behind the ship"
still=$(pixels $EXHAUST greyish)
web down 124 384
deadline=$((SECONDS + 30))
until grab_screen && [ "$(pixels $EXHAUST greyish)" -ge $((still + 100)) ]; do
    [ $SECONDS -lt $deadline ] || fail "no exhaust behind the thrusting ship"
done
web up 124 384
echo "grey pixels behind the ship: $still at rest, $(pixels $EXHAUST greyish) thrusting"
cp "$WORK/screen.png" "$ARTIFACTS/thrust.png"
hold Escape
web wait-state ended 60 || fail "ESC did not end the game"

echo "-- a new game: the beam reaches nothing from the start, 5.7 units from the star"
web click-element '#again'
wait_for_text screen "ENTERING LEVEL 1"
skip_intermission_to "COMPLETE: 0 / 1  FUEL:0350"
steer_to 819 77 45
shot_holding right
[ "$(pixels $BEAM bluish)" -lt 100 ] || fail "a beam shows with no star in reach"

echo "-- 10 to 15 ticks of thrust leave the ship coasting to a stop within 3.5 units of it"
# A press shorter than a frame may go unseen: the fuel counts the ticks that thrust.
pulses=0
fuel=$(fuel_shown)
while [ "$fuel" -gt 340 ]; do
    [ $((pulses++)) -lt 100 ] || fail "the fuel never went below 341"
    web down 819 77
    web up 819 77
    fuel=$(fuel_shown)
done
echo "fuel left after thrusting: $fuel"

echo "-- the beam holds the star once in reach"
deadline=$((SECONDS + 120))
until shot_holding right && [ "$(pixels $BEAM bluish)" -ge 500 ]; do
    [ $SECONDS -lt $deadline ] || fail "the beam never showed"
    sleep 0.3
done
cp "$WORK/screen.png" "$ARTIFACTS/beam.png"
echo "beam pixels: $(pixels $BEAM bluish)"
echo "PASS"
