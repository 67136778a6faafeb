# Shared helpers for the web build's tests in a real browser. Sourced by each test script,
# which is called as: SCRIPT SITE_DIR ARTIFACT_DIR LINUX_STARTUG GAME_DIR
# The site is served over HTTP from 127.0.0.1 and shown in a fresh Chromium profile,
# headless, or with STARTUG_BROWSER=firefox or webkit in Firefox or WebKitGTK's MiniBrowser
# on this script's X display. The Linux program and its game directory give the font the
# expected text is drawn with (the site's data comes from the same generator) and the frames
# the browser's are held to.
# The display tests' helpers come along, their screenshots taken of the page's canvas.
SITE=$1
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
set -- "$3" "$4" "$2"
source "$HERE/../display/lib.sh"
source "$HERE/chromium.sh"
trap 'stop_browser; stop_game; release_display; rm -rf "$WORK"' EXIT
BROWSER=${STARTUG_BROWSER:-chromium}
BROWSER_PID=""
SERVER_PID=""

# Debian's python3-websocket, for the system's own interpreter.
browser_py() { /usr/bin/python3 "$HERE/browser.py" "$BROWSER" "$PORT" "$@"; }

# Serves the site at SITE_DIR, or the given copy, and opens its PAGE in a fresh browser.
open_page() {
    stop_browser
    serve_site "${2:-$SITE}" "$WORK/server.log" || fail "the site was never served"
    "start_$BROWSER" "$SITE_URL$1" "$(mktemp -d "$WORK/profile.XXXX")"
    GAME_PID=$BROWSER_PID
    local deadline=$((SECONDS + 60))
    until [ "$(web state 2>/dev/null || echo None)" != None ]; do
        [ $SECONDS -lt $deadline ] || fail "the page never set its state"
        sleep 0.2
    done
    # Firefox and WebKitGTK draw with whatever OpenGL their X server offers: without WebGL 2
    # there the game cannot run, and the test is skipped.
    if [ "$(web eval "!!document.createElement('canvas').getContext('webgl2')")" != true ]; then
        [ "$BROWSER" = chromium ] || { echo "SKIP: this $BROWSER has no WebGL 2"; exit 77; }
        fail "$BROWSER has no WebGL 2"
    fi
}

# start_BROWSER URL PROFILE_DIR: sets BROWSER_PID and PORT, its remote-debugging port.
start_chromium() {
    local status=0
    start_headless_chromium "$1" "$2" "$GAME_LOG" swiftshader --enable-logging=stderr ||
        status=$?
    BROWSER_PID=$CHROMIUM_PID PORT=$DEVTOOLS_PORT
    [ $status -eq 0 ] || fail "Chromium never opened its DevTools port"
}

start_firefox() {
    printf 'user_pref("%s", %s);\n' browser.shell.checkDefaultBrowser false \
        browser.aboutwelcome.enabled false datareporting.policy.dataSubmissionEnabled false \
        toolkit.telemetry.reportingpolicy.firstRun false \
        browser.startup.homepage_override.mstone '"ignore"' >"$2/user.js"
    firefox-esr -profile "$2" -no-remote --remote-debugging-port 0 --width 1280 --height 1024 \
        "$1" >"$GAME_LOG" 2>&1 &
    BROWSER_PID=$!
    PORT=$(await_line "$GAME_LOG" 's|^WebDriver BiDi listening on ws://127.0.0.1:||p') ||
        fail "Firefox never opened WebDriver BiDi"
    xdotool search --sync --onlyvisible --pid "$BROWSER_PID" >/dev/null
}

# WebKitWebDriver on a free port, which starts MiniBrowser (in a private session of its own)
# for the session that PORT then names.
start_webkit() {
    local address deadline=$((SECONDS + 60))
    PORT=$(/usr/bin/python3 -c 'import socket; s = socket.socket()
s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    WebKitWebDriver --port="$PORT" >"$GAME_LOG" 2>&1 &
    BROWSER_PID=$!
    until address=$(browser_py open "$1" /usr/lib/*/webkit2gtk-4.1/MiniBrowser 2>/dev/null); do
        [ $SECONDS -lt $deadline ] || fail "WebKitWebDriver never opened MiniBrowser"
        sleep 0.2
    done
    PORT=$address
}

stop_browser() {
    local pid
    # MiniBrowser closes with its WebDriver session, before the driver goes.
    [ "$BROWSER" != webkit ] || [ -z "$BROWSER_PID" ] || browser_py quit || true
    for pid in $BROWSER_PID $SERVER_PID; do
        { kill "$pid" && wait "$pid"; } 2>/dev/null || true
    done
    [ "$GAME_PID" != "$BROWSER_PID" ] || GAME_PID=""
    BROWSER_PID="" SERVER_PID=""
}

# Where the game's picture is on the X screen, as "X Y WIDTH HEIGHT": Firefox's canvas, or
# with no browser open the native game's window at the corner of its screen.
canvas_box() {
    if [ -n "$BROWSER_PID" ]; then browser_py screen-box '#canvas'; else echo 0 0 1024 768; fi
}

# The X screen's point at canvas X Y.
screen_point() {
    local x y w h
    read -r x y w h < <(canvas_box)
    echo $((x + (2 * $1 + 1) * w / 2048)) $((y + (2 * $2 + 1) * h / 1536))
}

# One command to the game (see browser.py). Chromium takes them all through its protocol;
# Firefox and the native game get input and screenshots through the X server, as from a
# player, and WebKitGTK too but for its keys (MiniBrowser keeps F12 for its inspector).
web() {
    local x y w h button=1
    if [ "$BROWSER" = chromium ] && [ -n "$BROWSER_PID" ]; then
        browser_py "$@"
        return
    fi
    case $1 in
        move | down | up)
            read -r x y < <(screen_point "$2" "$3")
            [ "${4:-}" != right ] || button=3
            xdotool mousemove "$x" "$y"
            [ "$1" = move ] || xdotool "mouse$1" $button
            ;;
        key-down | key-up)
            if [ "$BROWSER" = webkit ]; then browser_py "$@"; else xdotool "${1/-/}" "$2"; fi
            ;;
        screenshot)
            read -r x y w h < <(canvas_box)
            timeout 30 import -window root -crop "${w}x$h+$x+$y" +repage "$2"
            ;;
        click-element)
            read -r x y w h < <(browser_py screen-box "$2")
            xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
            browser_py eval 'void scrollTo(0, 0)' >/dev/null
            ;;
        *) browser_py "$@" ;;
    esac
}

capture() { web screenshot "$1"; }

# Holds KEY long enough for the once-a-frame poll to see it.
hold() {
    web key-down "$1"
    sleep 0.3
    web key-up "$1"
}

# A click at the canvas's centre, where the game's pointer starts.
click_canvas() {
    web down 512 384
    sleep 0.1
    web up 512 384
}

skip_intermission_to() {
    web key-down space
    wait_for_text hud "$1"
    web key-up space
}

# F12 held until the screen after the level shows: the game reads its keys once a frame,
# and a press shorter than a frame is lost on a busy machine.
skip_level_to() {
    web key-down F12
    wait_for_text screen "$1"
    web key-up F12
}

# From level 1's HUD, F12 through the other levels to the win screen.
play_to_win() {
    skip_level_to "ENTERING LEVEL 2"
    skip_intermission_to "COMPLETE: 0 / 6  FUEL:1500"
    skip_level_to "ENTERING LEVEL 3"
    skip_intermission_to "COMPLETE: 1 / 12  FUEL:4000"
    skip_level_to "YOU WIN!"
}
