# Allegro 4.4 for the platforms Debian has no packages of it for: built from Debian's own
# source of the version the Linux build uses, once per set of inputs, and cached. Sourced
# after common.sh, not run.

STARTUG_CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/startug

# The Debian version of Allegro the Linux build compiles against, e.g. 2:4.4.3.1-3.
allegro_debian_version() {
    dpkg-query -W -f='${source:Version}' liballegro4-dev
}

# Fetches Debian's upstream tarball of Allegro VERSION into DIR with apt, through a source
# list made from the machine's own apt sources; apt's lists and caches go into DIR, so no
# file of the system changes.
fetch_allegro_source() {
    local version=$1 dir=$2
    mkdir -p "$dir/apt-lists/partial" "$dir/apt-parts" "$dir/apt-cache/archives/partial"
    # The machine's sources, deb822 and one-line alike, turned into source archives.
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && { sed 's/^Types:.*/Types: deb-src/' "$file"; echo; }
    done >"$dir/apt-parts/deb-src.sources"
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        sed -n 's/^deb /deb-src /p' >"$dir/deb-src.list"
    local apt=(apt-get -qq -o Dir::Etc::sourcelist="$dir/deb-src.list"
        -o Dir::Etc::sourceparts="$dir/apt-parts" -o Dir::State::Lists="$dir/apt-lists"
        -o Dir::Cache="$dir/apt-cache" -o APT::Sandbox::User=root)
    "${apt[@]}" update
    # Only the upstream tarball is used; the Debian part may be missing from the
    # archive, which makes apt-get exit non-zero after fetching the tarball.
    (cd "$dir" && "${apt[@]}" source --download-only "allegro4.4=$version") || true
    ls "$dir"/allegro4.4_*.orig.tar.gz >/dev/null 2>&1 ||
        { echo "could not fetch the source of allegro4.4 $version" >&2; return 1; }
}

# Unpacks Allegro VERSION's source into WORK and prints its directory; the tarball is
# fetched once and kept in the cache for every platform.
unpack_allegro_source() {
    local version=$1 work=$2
    local tarball="$STARTUG_CACHE/source/allegro4.4_${version#*:}.orig.tar.gz"
    if [ ! -f "$tarball" ]; then
        fetch_allegro_source "$version" "$work/fetch" || return 1
        mkdir -p "${tarball%/*}"
        mv "$work"/fetch/allegro4.4_*.orig.tar.gz "$tarball"
    fi
    tar -xzf "$tarball" -C "$work" && echo "$work"/allegro-*/
}

# Prints the prefix of Allegro built for PLATFORM, building it first unless the cache holds
# one made from the same inputs: cached_allegro PLATFORM BUILDER INPUT...
# The key is made of the build steps and each INPUT: a file's contents, or else the word
# itself (flags, a compiler's version). BUILDER is called as BUILDER SOURCE_DIR WORK_DIR
# PREFIX, in a scratch directory that goes whatever happens.
cached_allegro() {
    local platform=$1 builder=$2
    shift 2
    local version
    version=$(allegro_debian_version) || return 1
    local key input
    key=$({
        echo "$version"
        declare -f allegro_cmake "$builder"  # the build steps and flags, without comments
        for input; do
            if [ -f "$input" ]; then cat "$input"; else echo "$input"; fi
        done
    } | sha256sum | cut -c1-16)
    local prefix="$STARTUG_CACHE/allegro-${version#*:}-$platform-$key"
    if [ ! -d "$prefix" ]; then
        echo "Building Allegro $version for $platform into $prefix" >&2
        (
            work=$(mktemp -d)
            trap 'rm -rf "$work" "$prefix.part"' EXIT
            src=$(unpack_allegro_source "$version" "$work") &&
                "$builder" "$src" "$work" "$prefix.part" &&
                mv "$prefix.part" "$prefix"
        ) >&2 || return 1
    fi
    echo "$prefix"
}

# Applies every patch in DIR to Allegro's SOURCE: apply_allegro_patches DIR SOURCE
apply_allegro_patches() {
    local patch
    for patch in "$1"/*.patch; do
        patch -d "$2" -p1 --forward --quiet <"$patch" || return 1
    done
}

# Configures, builds and installs Allegro's own CMake project from SOURCE in WORK into
# PREFIX; the logs are shown only when a step fails: allegro_cmake SOURCE WORK PREFIX
# [CONFIGURE-WRAPPER...] -- [cmake options...]
allegro_cmake() {
    local src=$1 work=$2 prefix=$3
    shift 3
    local wrapper=()
    while [ "$1" != -- ]; do wrapper+=("$1"); shift; done
    shift
    "${wrapper[@]}" cmake -S "$src" -B "$work/build" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -DSHARED=off -DWANT_LOADPNG=off -DWANT_LOGG=off \
        -DWANT_JPGALLEG=off -DWANT_EXAMPLES=off -DWANT_TOOLS=off -DWANT_TESTS=off \
        -DWANT_DOCS=off -Wno-dev "$@" >"$work/configure.log" 2>&1 &&
        cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 &&
        cmake --install "$work/build" >/dev/null ||
        { tail -n 30 "$work"/*.log; return 1; }
}
