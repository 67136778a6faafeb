#!/usr/bin/env bash
# Each data file missing in turn: the real program reports that file's own failure,
# does not hang or crash, closes the display and exits with status 1. With every file
# present it starts, and ESC ends it with status 0.
source "$(dirname "$0")/lib.sh"
game=$(copy_game)
use_gate

# File, then the report it must give when missing; in the order the game loads them.
cases=(
    "gfx/background.tga|Failed to load texture: gfx/background.tga"
    "gfx/star.tga|Failed to load texture: gfx/star.tga"
    "gfx/pointer.tga|Failed to load texture: gfx/pointer.tga"
    "gfx/flametex1.tga|Failed to load texture: gfx/flametex1.tga"
    "gfx/glow.tga|Failed to load texture: gfx/glow.tga"
    "gfx/shiptex.tga|Failed to load texture: gfx/shiptex.tga"
    "gfx/tractortexture.tga|Failed to load texture: gfx/tractortexture.tga"
    "models/ship.model|Unable to load file models/ship.model"
    "font.pcx|Font load failed"
)

for entry in "${cases[@]}"; do
    file=${entry%%|*}
    message=${entry#*|}
    echo "-- without $file"
    [ -f "$game/$file" ] || fail "the game directory has no $file to remove"
    mv "$game/$file" "$WORK/aside"
    run_to_end "$game"
    mv "$WORK/aside" "$game/$file"
    expect_reported_failure "$message"
    [ "$(grep -c "^Unexpected exception:" "$GAME_LOG")" -eq 1 ] || fail "more than one report"
done

echo "-- every file present"
start_game "$game"
screenshot "all-assets" >/dev/null
# ESC ends the intermission, and the level's first frame sees it too and ends the game.
hold_key Escape 1.0
wait_game
expect_normal_end "a start with every file present"
echo "PASS"
