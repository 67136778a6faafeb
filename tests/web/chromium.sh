# Serving a site on 127.0.0.1 and opening it in headless Chromium, for the web tests
# (lib.sh) and `./benchmark web`. Sourced, not run.

# Chromium's WebGL in headless mode, by the rasteriser behind it: SwiftShader, Chromium's own
# (what a machine without a GPU gets), or llvmpipe, Mesa's, which the Linux build draws with.
declare -A RASTERISER_FLAGS=(
    [swiftshader]="--use-angle=swiftshader --enable-unsafe-swiftshader"
    [llvmpipe]="--use-angle=gl-egl --ignore-gpu-blocklist"
)

# Prints the first line the sed SCRIPT makes of FILE once it makes one; after a minute
# without one, fails with what FILE holds: await_line FILE SCRIPT
await_line() {
    local deadline=$((SECONDS + 60)) line
    until line=$(sed -n "$2" "$1" 2>/dev/null | head -n 1) && [ -n "$line" ]; do
        if [ $SECONDS -ge $deadline ]; then
            echo "no '$2' in $1: $(cat "$1" 2>/dev/null)" >&2
            return 1
        fi
        sleep 0.1
    done
    echo "$line"
}

# Serves DIR over HTTP on a free port of 127.0.0.1, its log in LOG; sets SERVER_PID at once
# and SITE_URL (ending in a slash) once the server listens: serve_site DIR LOG
serve_site() {
    /usr/bin/python3 -u -m http.server --bind 127.0.0.1 0 --directory "$1" >"$2" 2>&1 &
    SERVER_PID=$!
    SITE_URL=$(await_line "$2" 's|^Serving HTTP on .* (\(http://[^ ]*\)).*|\1|p')
}

# Opens URL in a headless Chromium drawing WebGL with RASTERISER, with a fresh PROFILE_DIR,
# FLAGS besides and its output in LOG; sets CHROMIUM_PID at once and DEVTOOLS_PORT, its
# remote-debugging port, once it listens:
# start_headless_chromium URL PROFILE_DIR LOG RASTERISER [FLAG...]
start_headless_chromium() {
    local url=$1 profile=$2 log=$3 rasteriser=$4
    shift 4
    # shellcheck disable=SC2086 # the rasteriser's flags are separate words
    chromium --headless=new --no-sandbox ${RASTERISER_FLAGS[$rasteriser]} "$@" --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$profile" --remote-debugging-port=0 --window-size=1280,1024 \
        "$url" >"$log" 2>&1 &
    CHROMIUM_PID=$!
    DEVTOOLS_PORT=$(await_line "$profile/DevToolsActivePort" 1p)
}
