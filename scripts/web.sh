# The web build: Allegro 4.4 and AllegroGL compiled to WebAssembly with Emscripten, from
# Debian's source of the version the Linux build uses, with our web platform (web/allegro)
# on the OpenGL 1.x layer (web/gl); built once and cached; then the game against it.
# Sourced after common.sh, not run.

source "$STARTUG_ROOT/scripts/allegro.sh"

# What building for the web and checking it in browsers need.
STARTUG_WEB_PACKAGES="emscripten cmake make patch zip unzip python3 chromium firefox-esr
  webkit2gtk-driver python3-websocket"

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
    cached_allegro web build_web_allegro "$STARTUG_WEB_PLATFORM"/* \
        "$STARTUG_WEB_GL/webgl1.h" "$STARTUG_WEB_CFLAGS" "$(web_run emcc --version | sed -n 1p)"
}

# Applies our patches to Allegro's SOURCE, builds its core with its own CMake, then our
# drivers and AllegroGL, and installs the static libraries into PREFIX.
build_web_allegro() {
    local src=$1 work=$2 prefix=$3
    apply_allegro_patches "$STARTUG_WEB_PLATFORM" "$src" || return 1
    # A Unix without X and without sound or joystick devices: the web drivers stand in.
    # Allegro finds no librt; Emscripten's C library has clock_gettime.
    web_run allegro_cmake "$src" "$work" "$prefix" emcmake -- \
        -DCMAKE_C_FLAGS_RELEASE="$STARTUG_WEB_CFLAGS" -DWANT_X11=off \
        -DWANT_LINUX_CONSOLE=off -DWANT_ALSA=off -DWANT_OSS=off -DWANT_JACK=off \
        -DWANT_MODULES=off -DRT_LIBRARY=-lc -DWANT_ALLEGROGL=off &&
        web_run emcmake cmake -S "$STARTUG_WEB_PLATFORM" -B "$work/web" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="$STARTUG_WEB_CFLAGS" \
            -DCMAKE_INSTALL_PREFIX="$prefix" -DALLEGRO_SOURCE="$src" \
            -DWEBGL1_INCLUDE="$STARTUG_WEB_GL" -Wno-dev >"$work/web.log" 2>&1 &&
        web_run cmake --build "$work/web" -j "$(nproc)" >>"$work/web.log" 2>&1 &&
        cmake --install "$work/web" >/dev/null ||
        { tail -n 30 "$work/web.log"; return 1; }
}

# Configures and builds the web tree DIR against the cached Allegro, with the asset
# generator of the native tree NATIVE: build_web_tree DIR NATIVE [cmake options...]
build_web_tree() {
    local dir=$1 native=$2
    shift 2
    local allegro
    allegro=$(web_allegro) || return 1
    web_run build_tree "$dir" \
        -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake \
        -DSTARTUG_ALLEGRO_PREFIX="$allegro" -DSTARTUG_NATIVE_BUILD="$native" "$@"
}
