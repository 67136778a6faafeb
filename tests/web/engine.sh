#!/usr/bin/env bash
# The whole-game script once in another browser engine (STARTUG_BROWSER: firefox or webkit),
# on an X screen of its own large enough for the window to show the canvas at 1:1, played
# with real X input and screenshots of the screen. Skipped (exit status 77) where the
# browser has no WebGL 2.
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$(dirname "$0")/whole_game.sh" "$@"
