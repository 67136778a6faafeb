#!/usr/bin/env bash
# A missing file on Windows: the usual report in Windows' own message box (its text traced by
# Wine), a key closes the box, and the program exits with status 1.
export STARTUG_WINE=1
source "$(dirname "$0")/../display/lib.sh"
game=$(copy_game)
rm "$game/gfx/star.tga"
GAME_ENV+=(WINEDEBUG=-all,+msgbox)

start_game "$game"
deadline=$((SECONDS + 60))
until grep -q "MSGBOX_OnInit" "$GAME_LOG"; do
    kill -0 "$GAME_PID" 2>/dev/null || fail "the program ended without a message box"
    [ $SECONDS -lt $deadline ] || fail "no message box appeared"
    sleep 0.2
done
# Wine traces the text with its line breaks written \n.
text=$(sed -n 's/.*MSGBOX_OnInit L"\(.*\)"$/\1/p' "$GAME_LOG")
[[ $text == 'Unexpected exception:Failed to load texture: gfx/star.tga\nAllegro error: '*'\nAllegro GL error : '*'\n' ]] ||
    fail "the message box says: $text"

# The box is the newest window of that title, beside the game's own; it may be mapped
# just after Wine traces its text.
deadline=$((SECONDS + 30))
until box=$(visible_windows | grep -vx "$WINDOW" | tail -n 1) && [ -n "$box" ]; do
    [ $SECONDS -lt $deadline ] || fail "the message box has no window"
    sleep 0.2
done
screenshot message-box >/dev/null
xdotool windowfocus --sync "$box"
xdotool key Return
wait_game 60
[ "$EXIT_STATUS" -eq 1 ] || fail "exit status $EXIT_STATUS after the report, not 1"
echo "PASS"
