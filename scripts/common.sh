# Shared set-up for ./play, ./check and ./bench: packages, configure, build.
# Sourced, not run.

STARTUG_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What building, playing and packaging need: the Debian package is made with dpkg-dev's
# tools (CPack finds the programs with file).
STARTUG_PLAY_PACKAGES="cmake g++ make pkg-config liballegro4-dev liballeggl4-dev libgl-dev
  libglu1-mesa-dev libgl1-mesa-dri libpng-dev dpkg-dev file"
# What the test suite, fuzzers and benchmarks need on top; the package is checked with
# lintian, desktop-file-utils and appstream, and openbox with wmctrl closes the game's window
# as a desktop does.
STARTUG_CHECK_PACKAGES="xvfb xauth xdotool imagemagick libgtest-dev googletest
  libbenchmark-dev clang libclang-rt-14-dev valgrind lintian desktop-file-utils appstream
  openbox wmctrl"

# Installs whichever of the named Debian packages are missing (as root, or through sudo).
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null
}

# Configures and builds one build directory: build_tree DIR [cmake options...]
build_tree() {
    local dir=$1
    shift
    cmake -S "$STARTUG_ROOT" -B "$dir" "$@" >/dev/null &&
        cmake --build "$dir" -j "$(nproc)"
}

# True when an X display answers (xdpyinfo comes with x11-utils).
display_reachable() {
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

# Makes a scratch directory and puts its path in the variable named NAME; it is removed
# when the script exits, however it ends: new_scratch NAME
STARTUG_SCRATCH=()
new_scratch() {
    local dir
    dir=$(mktemp -d)
    STARTUG_SCRATCH+=("$dir")
    trap 'rm -rf "${STARTUG_SCRATCH[@]}"' EXIT
    printf -v "$1" %s "$dir"
}
