# The Windows build, cross-compiled on Debian: Allegro from Debian's own source of the
# version the Linux build uses, built static with MinGW-w64 once and cached, then the
# game against it. Sourced after common.sh, not run.

# What cross-building, the installer and running the result under Wine need.
STARTUG_WINDOWS_PACKAGES="g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64 wine nsis
  icoutils dpkg-dev"

STARTUG_TOOLCHAIN=$STARTUG_ROOT/cmake/mingw-w64-x86_64.cmake
STARTUG_ALLEGRO_PATCHES=$STARTUG_ROOT/packaging/windows/allegro-patches
STARTUG_CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/startug

# The Debian version of Allegro the Linux build compiles against, e.g. 2:4.4.3.1-3.
allegro_debian_version() {
    dpkg-query -W -f='${source:Version}' liballegro4-dev
}

# Fetches Debian's upstream tarball of Allegro VERSION into DIR with apt, through a source
# list made from the machine's own apt sources; the system's configuration is untouched.
fetch_allegro_source() {
    local version=$1 dir=$2
    mkdir -p "$dir/apt-lists/partial" "$dir/apt-parts"
    # The machine's sources, deb822 and one-line alike, turned into source archives.
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && { sed 's/^Types:.*/Types: deb-src/' "$file"; echo; }
    done >"$dir/apt-parts/deb-src.sources"
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        sed -n 's/^deb /deb-src /p' >"$dir/deb-src.list"
    local apt=(apt-get -qq -o Dir::Etc::sourcelist="$dir/deb-src.list"
        -o Dir::Etc::sourceparts="$dir/apt-parts" -o Dir::State::Lists="$dir/apt-lists"
        -o APT::Sandbox::User=root)
    "${apt[@]}" update
    # Only the upstream tarball is used; the Debian part may be missing from the
    # archive, which makes apt-get exit non-zero after fetching the tarball.
    (cd "$dir" && "${apt[@]}" source --download-only "allegro4.4=$version") || true
    ls "$dir"/allegro4.4_*.orig.tar.gz >/dev/null 2>&1 ||
        { echo "could not fetch the source of allegro4.4 $version" >&2; return 1; }
}

# Prints the prefix of Allegro + AllegroGL built for Windows, building it first unless
# the cache holds it for this Allegro version, these patches and this toolchain.
windows_allegro() {
    local version
    version=$(allegro_debian_version) || return 1
    local key
    key=$( (echo "$version"; cat "$STARTUG_ALLEGRO_PATCHES"/*.patch "$STARTUG_TOOLCHAIN") |
        sha256sum | cut -c1-16)
    local prefix="$STARTUG_CACHE/allegro-${version#*:}-win64-$key"
    if [ ! -f "$prefix/lib/liballeggl.a" ]; then
        local work
        work=$(mktemp -d)
        echo "Building Allegro $version for Windows into $prefix" >&2
        fetch_allegro_source "$version" "$work" >&2 &&
            build_windows_allegro "$work" "$prefix" >&2 ||
            { rm -rf "$work"; return 1; }
        rm -rf "$work"
    fi
    echo "$prefix"
}

# Unpacks the tarball in WORK, applies our patches and installs the static libraries into
# PREFIX.
build_windows_allegro() {
    local work=$1 prefix=$2
    tar -xzf "$work"/allegro4.4_*.orig.tar.gz -C "$work"
    local src
    src=$(echo "$work"/allegro-*/)
    local patch
    for patch in "$STARTUG_ALLEGRO_PATCHES"/*.patch; do
        patch -d "$src" -p1 --forward --quiet <"$patch" || return 1
    done
    cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$STARTUG_TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix.part" \
        -DSHARED=off -DWANT_ALLEGROGL=on -DWANT_LOADPNG=off -DWANT_LOGG=off \
        -DWANT_JPGALLEG=off -DWANT_EXAMPLES=off -DWANT_TOOLS=off -DWANT_TESTS=off \
        -DWANT_DOCS=off -Wno-dev >"$work/configure.log" 2>&1 &&
        cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 &&
        cmake --install "$work/build" >/dev/null ||
        { tail -n 30 "$work"/*.log; return 1; }
    rm -rf "$prefix" && mv "$prefix.part" "$prefix"
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
