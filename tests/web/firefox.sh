#!/usr/bin/env bash
# The whole-game script once in Firefox, on an X screen of its own large enough for the
# window to show the canvas at 1:1, played with real X input and screenshots of the screen.
# Skipped (exit status 77) where this Firefox has no WebGL 2.
STARTUG_BROWSER=firefox exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    bash "$(dirname "$0")/whole_game.sh" "$@"
