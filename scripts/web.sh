# The web build: Allegro 4.4 and AllegroGL compiled to WebAssembly with Emscripten, from
# Debian's source of the version the Linux build uses, with our web platform (web/allegro)
# on the OpenGL 1.x layer (web/gl); built once and cached. Sourced after common.sh and
# windows.sh, not run.

# What building for the web and checking it in a browser need.
STARTUG_WEB_PACKAGES="emscripten cmake make patch chromium python3-websocket"

STARTUG_WEB_PLATFORM=$STARTUG_ROOT/web/allegro
STARTUG_WEB_GL=$STARTUG_ROOT/web/gl
# Compiler flags of every object in the web libraries.
STARTUG_WEB_CFLAGS="-O2 -DNDEBUG"

# Runs an Emscripten tool. Its node scripts need Debian's acorn, which is in
# /usr/share/nodejs, where the node of these machines does not look by itself.
web_run() {
    NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH} "$@"
}

# Prints the prefix of Allegro + AllegroGL built for the web, building it first unless the
# cache holds it for this Allegro version, our platform files, the GL layer's interface,
# these build steps and flags, and this Emscripten.
web_allegro() {
    local version
    version=$(allegro_debian_version) || return 1
    [ -f "$STARTUG_WEB_GL/webgl1.h" ] ||
        { echo "$STARTUG_WEB_GL/webgl1.h is missing" >&2; return 1; }
    local key
    key=$( (echo "$version $STARTUG_WEB_CFLAGS"; web_run emcc --version
        declare -f build_web_allegro
        cd "$STARTUG_ROOT" && find web/allegro -maxdepth 1 -type f | LC_ALL=C sort |
            xargs sha256sum web/gl/webgl1.h) | sha256sum | cut -c1-16) || return 1
    local prefix="$STARTUG_CACHE/allegro-${version#*:}-web-$key"
    if [ ! -f "$prefix/lib/liballeggl.a" ]; then
        local work
        work=$(mktemp -d)
        echo "Building Allegro $version for the web into $prefix" >&2
        fetch_allegro_source "$version" "$work" >&2 &&
            build_web_allegro "$work" "$prefix" >&2 ||
            { rm -rf "$work" "$prefix.part"; return 1; }
        rm -rf "$work"
    fi
    echo "$prefix"
}

# Unpacks the tarball in WORK, applies our patches, builds Allegro's core with its own
# CMake, then our drivers and AllegroGL, and installs the static libraries into PREFIX.
build_web_allegro() {
    local work=$1 prefix=$2
    tar -xzf "$work"/allegro4.4_*.orig.tar.gz -C "$work"
    local src
    src=$(echo "$work"/allegro-*/)
    local patch
    for patch in "$STARTUG_WEB_PLATFORM"/*.patch; do
        patch -d "$src" -p1 --forward --quiet <"$patch" || return 1
    done
    local common=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="$STARTUG_WEB_CFLAGS"
        -DCMAKE_INSTALL_PREFIX="$prefix.part" -Wno-dev)
    # A Unix without X and without sound or joystick devices: the web drivers stand in.
    # Allegro finds no librt; Emscripten's C library has clock_gettime.
    web_run emcmake cmake -S "$src" -B "$work/core" "${common[@]}" -DSHARED=off \
        -DWANT_X11=off -DWANT_LINUX_CONSOLE=off -DWANT_ALSA=off -DWANT_OSS=off \
        -DWANT_JACK=off -DWANT_MODULES=off -DRT_LIBRARY=-lc -DWANT_ALLEGROGL=off \
        -DWANT_LOADPNG=off -DWANT_LOGG=off -DWANT_JPGALLEG=off -DWANT_EXAMPLES=off \
        -DWANT_TOOLS=off -DWANT_TESTS=off -DWANT_DOCS=off >"$work/configure.log" 2>&1 &&
        web_run emmake make -C "$work/core" -j "$(nproc)" allegro >"$work/build.log" 2>&1 &&
        cmake --install "$work/core" >/dev/null &&
        web_run emcmake cmake -S "$STARTUG_WEB_PLATFORM" -B "$work/web" "${common[@]}" \
            -DALLEGRO_SOURCE="$src" -DWEBGL1_INCLUDE="$STARTUG_WEB_GL" \
            >>"$work/configure.log" 2>&1 &&
        web_run emmake make -C "$work/web" -j "$(nproc)" >>"$work/build.log" 2>&1 &&
        cmake --install "$work/web" >/dev/null ||
        { tail -n 30 "$work"/*.log; return 1; }
    rm -rf "$prefix" && mv "$prefix.part" "$prefix"
}
