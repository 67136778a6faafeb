# Shared helpers for the real-program display tests. Sourced by each test script, which
# is called as: SCRIPT STARTUG_BINARY GAME_DIR ARTIFACT_DIR
# The tests run on the DISPLAY they are given (./check starts Xvfb); they never depend
# on timing for their verdict: waits are bounded by generous frame counts or deadlines
# that only turn a hang into a failure.
set -euo pipefail

STARTUG_BIN=$1
GAME_DIR=$2
ARTIFACTS=$3
mkdir -p "$ARTIFACTS"
WORK=$(mktemp -d)
trap 'stop_game; stop_window_manager; release_display; rm -rf "$WORK"' EXIT
GAME_PID=""
GAME_LOG="$WORK/game.log"
WM_PID=""
HOLD_PID=""

# A PATH without xmessage: Allegro then prints its message box text on standard output
# instead of waiting for a click.
NO_XMESSAGE_PATH=/nonexistent
export ALLEGRO="$(cd "$(dirname "${BASH_SOURCE[0]}")/../support/allegro-config" && pwd)"

# How the program is run. Normally STARTUG_BINARY is the program itself, copied into a
# copy of GAME_DIR and started there. With STARTUG_INSTALLED=1 it is an installed
# launcher and GAME_DIR the data directory it uses: the launcher is started as it is,
# from a scratch directory that holds no game files. A launcher needs the usual PATH, so
# a stub xmessage goes first on it, printing the message box's text (its last argument)
# and answering OK, as Allegro prints the text itself when it finds no xmessage.
if [ "${STARTUG_INSTALLED:-}" = 1 ]; then
    mkdir "$WORK/stub"
    cat >"$WORK/stub/xmessage" <<'EOF'
#!/bin/sh
for text; do :; done
printf %s "$text"
exit 101
EOF
    chmod +x "$WORK/stub/xmessage"
    GAME_PATH=$WORK/stub:$PATH
    GAME_COMMAND=("$STARTUG_BIN")
elif [ "${STARTUG_WINE:-}" = 1 ]; then
    # With STARTUG_WINE=1 STARTUG_BINARY is the Windows program, copied into a copy of
    # GAME_DIR and run there under Wine, in the prefix STARTUG_WINEPREFIX. Its window sits
    # inside a larger screen, so screenshots are taken of the window alone.
    GAME_PATH=$PATH
    GAME_COMMAND=("$(cd "$(dirname "${BASH_SOURCE[0]}")/../windows" && pwd)/wine-run"
        "$STARTUG_WINEPREFIX" ./startug.exe)
else
    GAME_PATH=$NO_XMESSAGE_PATH
    GAME_COMMAND=(./startug)
fi
# What screenshots show: the whole screen, or with CAPTURE_WINDOW=1 the game's window.
CAPTURE_WINDOW=${STARTUG_WINE:-0}

# Extra environment for the program: use_gate fills it.
GAME_ENV=()
GATE=""

# Runs the program through frame_gate.so (see frame_gate.cpp) from now on, with the gate's
# files in $GATE; the environment of each start may add the gate's other variables. An
# installed launcher is a shell script and a Windows program has no shared libraries to
# wrap: neither can load the gate, so there it is not used and GATE stays empty.
use_gate() {
    [ "${STARTUG_INSTALLED:-}" = 1 ] || [ "${STARTUG_WINE:-}" = 1 ] && return
    GATE="$WORK/gate"
    mkdir -p "$GATE"
    c++ -shared -fPIC -O2 -o "$WORK/frame_gate.so" "$(dirname "${BASH_SOURCE[0]}")/frame_gate.cpp" \
        $(pkg-config --cflags allegro) -ldl || fail "cannot build the frame gate"
    GAME_ENV=(LD_PRELOAD="$WORK/frame_gate.so" FRAME_GATE_DIR="$GATE"
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0")
}

# Every run starts with an empty gate directory.
clear_gate() { [ -z "$GATE" ] || rm -f "$GATE"/* "$GATE"/.*.tmp; }

# The calls to NAME the last gated run made, one a line, without the name.
gate_calls() { sed -n "s/^$1\( \|\$\)//p" "$GATE/calls" 2>/dev/null; }

# A gated run that brought Allegro up switched the display back to text mode exactly once,
# as its last call.
expect_text_mode_once() {
    [ -n "$GATE" ] || return 0
    local text_modes
    text_modes=$(gate_calls set_gfx_mode | grep -c '^-1 ') || true
    [ "$text_modes" -eq 1 ] || fail "the display was switched to text mode $text_modes times, not once"
    [ "$(tail -n 1 "$GATE/calls")" = "set_gfx_mode -1 0 0 0 0" ] ||
        fail "the text mode was not the last call: $(tail -n 1 "$GATE/calls")"
}

# A gated run that ended normally made only 512x16 text bitmaps, and destroyed each but the
# first, the HUD's, which lives as long as the program.
expect_text_bitmaps_freed() {
    [ -n "$GATE" ] || return 0
    local faults
    faults=$(awk '
        $1 == "create_bitmap" {
            if ($2 != 512 || $3 != 16) print "bitmap " made + 1 " is " $2 "x" $3
            live[$4] = ++made
        }
        $1 == "destroy_bitmap" { delete live[$2] }
        END {
            for (b in live) {
                if (live[b] == 1) hud = 1
                else print "bitmap " live[b] " of " made " was never destroyed"
            }
            if (!hud) print "the first bitmap (the HUD) did not live to the end"
        }' "$GATE/calls")
    [ -z "$faults" ] || fail "text bitmaps: $(echo "$faults" | paste -sd ';')"
}

fail() {
    echo "FAIL: $*" >&2
    [ -f "$GAME_LOG" ] && { echo "--- game output:" >&2; cat "$GAME_LOG" >&2; }
    screenshot "failure" || true
    exit 1
}

# The program's working directory: a private copy of the game directory, so a test may
# remove or replace files; for an installed launcher, an empty scratch directory.
copy_game() {
    if [ "${STARTUG_INSTALLED:-}" = 1 ]; then
        mkdir -p "$WORK/elsewhere"
        echo "$WORK/elsewhere"
        return
    fi
    cp -r "$GAME_DIR" "$WORK/game"
    cp "$STARTUG_BIN" "$WORK/game/${GAME_COMMAND[-1]#./}"
    echo "$WORK/game"
}

# Runs the program to its end in DIR with the given arguments, bounded by a deadline
# that only guards against a hang. Sets EXIT_STATUS; output goes to $GAME_LOG.
run_to_end() {
    local dir=$1
    shift
    EXIT_STATUS=0
    clear_gate
    (cd "$dir" && timeout 120 env PATH="$GAME_PATH" "${GAME_ENV[@]}" "${GAME_COMMAND[@]}" "$@") \
        >"$GAME_LOG" 2>&1 ||
        EXIT_STATUS=$?
    [ "$EXIT_STATUS" -ne 124 ] || fail "the program hung"
}

# The last run reported MESSAGE in the game's report format, did not crash, closed the
# display and exited 1.
expect_reported_failure() {
    local message=$1
    grep -qxF "Unexpected exception:$message" "$GAME_LOG" || fail "no report of '$message'"
    ! grep -q "Shutting down Allegro due to signal" "$GAME_LOG" || fail "the program crashed"
    [ "$EXIT_STATUS" -eq 1 ] || fail "exit status $EXIT_STATUS after reporting '$message', not 1"
    expect_text_mode_once
}

# The last run ended normally: exit status 0, no report, the display closed. WHAT names the run.
expect_normal_end() {
    [ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after $1, not 0"
    ! grep -q "Unexpected exception" "$GAME_LOG" || fail "$1 reported a failure"
    expect_text_mode_once
    expect_text_bitmaps_freed
}

# The visible windows titled StarTug, oldest first. A window that goes while xdotool walks
# the tree makes it fail (Wine makes and drops helper windows as the game starts): that
# walk counts as finding none.
visible_windows() { xdotool search --onlyvisible --name '^StarTug$' 2>/dev/null || true; }

# Starts the program in the background in DIR; waits for its window and focuses it.
start_game() {
    local dir=$1
    shift
    clear_gate
    # Allegro on X moves the game's pointer by as much as the real pointer moves in the
    # window's first moments. The real pointer waits where the window's centre will be (a
    # window opens at the screen's corner), as on a freshly started X server, so every run
    # starts alike whatever the one before left.
    xdotool mousemove 512 384
    (cd "$dir" && exec env PATH="$GAME_PATH" "${GAME_ENV[@]}" "${GAME_COMMAND[@]}" "$@") >"$GAME_LOG" 2>&1 &
    GAME_PID=$!
    local deadline=$((SECONDS + 60))
    until WINDOW=$(visible_windows | head -n 1) && [ -n "$WINDOW" ]; do
        kill -0 "$GAME_PID" 2>/dev/null || fail "the program ended before its window appeared"
        [ $SECONDS -lt $deadline ] || fail "no game window appeared"
        sleep 0.2
    done
    xdotool mousemove --window "$WINDOW" 512 384
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true
}

# Waits for the background program to end; sets EXIT_STATUS.
wait_game() {
    local deadline=$((SECONDS + ${1:-120}))
    while kill -0 "$GAME_PID" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || fail "the program did not end"
        sleep 0.2
    done
    EXIT_STATUS=0
    wait "$GAME_PID" || EXIT_STATUS=$?
    GAME_PID=""
}

stop_game() {
    if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
        kill "$GAME_PID" 2>/dev/null || true
        wait "$GAME_PID" 2>/dev/null || true
    fi
    GAME_PID=""
}

# Holds a key long enough for the once-a-frame poll to see it.
hold_key() {
    xdotool keydown "$1"
    sleep "${2:-0.3}"
    xdotool keyup "$1"
}

# The game's window while it exists, else the whole screen: given a window that is gone,
# import falls back to asking for a click on one, and waits for it for ever.
capture_source() {
    if [ "$CAPTURE_WINDOW" = 1 ] && [ -n "${WINDOW:-}" ] && xwininfo -id "$WINDOW" >/dev/null 2>&1; then
        echo "$WINDOW"
    else
        echo root
    fi
}

# import FILE, of the capture source; bounded, as the window may still go just before.
capture() { timeout 30 import -window "$(capture_source)" "$1"; }

screenshot() {
    capture "$ARTIFACTS/$1.png"
    echo "$ARTIFACTS/$1.png"
}

# Mean colour of a region of a screenshot as "R G B" in 0..255: FILE WxH+X+Y
mean_colour() {
    convert "$1" -crop "$2" +repage -resize 1x1\! -depth 8 txt:- |
        sed -n 's/.*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' | head -n 1
}

# Where the game's two text lines land on the 1024x768 screen: the 512x16 text bitmap is
# drawn stretched to 512x32, the HUD at the bottom-left corner, the intermission text with
# its top at 382 pixels above the bottom; the HUD prints at (0,0), the intermission at (1,1).
HUD_ROW=736
INTERMISSION_ROW=386

# The expected bitmap of TEXT as the HUD ("hud") or the intermission ("screen") prints it.
text_bitmap() {
    local place=$1 text=$2 offset=0
    [ "$place" = screen ] && offset=1
    local file="$WORK/text-$place-$(echo "$text" | md5sum | cut -c1-12).pgm"
    [ -f "$file" ] || "$STARTUG_TEXTIMAGE" "$GAME_DIR/font.pcx" "$offset" "$offset" "$text" "$file"
    echo "$file"
}

text_row() { [ "$1" = screen ] && echo $INTERMISSION_ROW || echo $HUD_ROW; }

# Of the candidate texts, prints the index of the one best matching the last screenshot;
# fails when none matches well. best_text PLACE TEXT...
best_text() {
    local place=$1
    shift
    local files=() text
    for text in "$@"; do files+=("$(text_bitmap "$place" "$text")"); done
    local result
    result=$(python3 "$STARTUG_TEXTMATCH" "$WORK/screen.pgm" "$(text_row "$place")" "${files[@]}") ||
        return 1
    echo "${result%% *}"
}

# True when TEXT shows on the last screenshot, as the HUD or the intermission.
text_on_screen() { best_text "$1" "$2" >/dev/null; }

# Takes a screenshot into $WORK/screen.pgm as the darkest of the three channels at each
# pixel: the game's text is white, while the blue screen, the nebula and the orange stars
# are each dark in at least one channel.
grab_screen() {
    capture "$WORK/screen.png"
    convert "$WORK/screen.png" -separate -evaluate-sequence Min -depth 8 "$WORK/screen.pgm"
}

# Waits until TEXT shows (see text_on_screen), for at most SECONDS; the deadline only
# turns a hang into a failure.
wait_for_text() {
    local place=$1 text=$2 deadline=$((SECONDS + ${3:-90}))
    while [ $SECONDS -lt $deadline ]; do
        grab_screen
        text_on_screen "$place" "$text" && return 0
        kill -0 "$GAME_PID" 2>/dev/null || fail "the program ended while waiting for '$text'"
        sleep 0.2
    done
    fail "'$text' never showed"
}

# --- Gated runs (see use_gate): waiting for what the gate reports, and letting it go on.

# Waits until FILE of the gate holds exactly LINE; the deadline only turns a hang into a failure.
gate_shows() {
    local file=$1 line=$2 deadline=$((SECONDS + 120))
    until [ -f "$GATE/$file" ] && [ "$(cat "$GATE/$file")" = "$line" ]; do
        kill -0 "$GAME_PID" 2>/dev/null || fail "the program ended while waiting for $file = $line"
        [ $SECONDS -lt $deadline ] || fail "$file never became '$line' (now: $(cat "$GATE/$file" 2>/dev/null))"
        sleep 0.05
    done
}
held_after_frame() { gate_shows held "$1"; }
let_go() { echo "$1" >"$GATE/go"; }
frames_shown() { cat "$GATE/frames"; }

# --- A window manager, for the tests of what it sends the game's window. Openbox runs on
# this DISPLAY until the script ends; its files go to the scratch directory.
start_window_manager() {
    HOME=$WORK XDG_CONFIG_HOME=$WORK XDG_CACHE_HOME=$WORK openbox --sm-disable \
        >"$WORK/openbox.log" 2>&1 &
    WM_PID=$!
    local deadline=$((SECONDS + 60))
    until wmctrl -m >/dev/null 2>&1; do
        kill -0 "$WM_PID" 2>/dev/null || fail "openbox did not start: $(cat "$WORK/openbox.log")"
        [ $SECONDS -lt $deadline ] || fail "openbox never took over the display"
        sleep 0.1
    done
}

stop_window_manager() {
    if [ -n "$WM_PID" ] && kill -0 "$WM_PID" 2>/dev/null; then
        kill "$WM_PID" 2>/dev/null || true
        wait "$WM_PID" 2>/dev/null || true
    fi
    WM_PID=""
}

# The window manager's graceful close of the game's window, as its close button does; by id,
# because AllegroGL's hidden helper window carries the same title.
close_window() { wmctrl -i -c "$WINDOW" || fail "wmctrl could not close the window"; }

# An X server resets when its last client leaves and refuses whoever connects meanwhile
# (measured: 2 of 1000 back-to-back connections under load), so a game started as the
# one before ended could fail to start. A client of the test's own holds the server for
# the whole test, whatever options the server was started with: xprop, which prints the
# root window's properties once connected, then waits for changes.
hold_display() {
    local attempt
    for attempt in 1 2 3 4 5; do
        xprop -root -spy >"$WORK/display-hold" 2>&1 &
        HOLD_PID=$!
        while [ ! -s "$WORK/display-hold" ] && kill -0 "$HOLD_PID" 2>/dev/null; do sleep 0.05; done
        grep -q "^xprop:" "$WORK/display-hold" || return 0
        release_display
        sleep 0.5
    done
    fail "cannot connect to the display '${DISPLAY:-}': $(cat "$WORK/display-hold")"
}

release_display() {
    [ -z "$HOLD_PID" ] || { kill "$HOLD_PID" 2>/dev/null; wait "$HOLD_PID" 2>/dev/null; } || true
    HOLD_PID=""
}

hold_display
