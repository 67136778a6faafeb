# The Windows build, cross-compiled on Debian: Allegro from Debian's own source of the
# version the Linux build uses, built static with MinGW-w64 once and cached, then the
# game against it. Sourced after common.sh, not run.

source "$STARTUG_ROOT/scripts/allegro.sh"

# What cross-building, the installer and running the result under Wine need.
STARTUG_WINDOWS_PACKAGES="g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64 wine nsis
  icoutils dpkg-dev"

STARTUG_TOOLCHAIN=$STARTUG_ROOT/cmake/mingw-w64-x86_64.cmake
STARTUG_ALLEGRO_PATCHES=$STARTUG_ROOT/packaging/windows/allegro-patches

# Prints the prefix of Allegro + AllegroGL built for Windows, building it first unless the
# cache holds it for this Allegro version, these patches and build steps, the toolchain file
# and the compiler.
windows_allegro() {
    cached_allegro win64 build_windows_allegro "$STARTUG_TOOLCHAIN" \
        "$STARTUG_ALLEGRO_PATCHES"/*.patch "$(x86_64-w64-mingw32-g++ --version | sed -n 1p)"
}

# Applies our patches to Allegro's SOURCE and installs the static libraries into PREFIX.
build_windows_allegro() {
    local src=$1 work=$2 prefix=$3
    apply_allegro_patches "$STARTUG_ALLEGRO_PATCHES" "$src" &&
        allegro_cmake "$src" "$work" "$prefix" -- -DCMAKE_TOOLCHAIN_FILE="$STARTUG_TOOLCHAIN" \
            -DWANT_ALLEGROGL=on
}

# Configures and builds the Windows tree DIR against the cached Allegro, with the asset
# generator of the native tree NATIVE: build_windows_tree DIR NATIVE [cmake options...]
build_windows_tree() {
    local dir=$1 native=$2
    shift 2
    local allegro
    allegro=$(windows_allegro) || return 1
    build_tree "$dir" -DCMAKE_TOOLCHAIN_FILE="$STARTUG_TOOLCHAIN" \
        -DSTARTUG_ALLEGRO_PREFIX="$allegro" \
        -DSTARTUG_NATIVE_BUILD="$native" "$@"
}
