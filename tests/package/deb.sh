#!/usr/bin/env bash
# The Debian package as a user gets it: lintian finds no error, the control fields name
# the games section and the libraries dpkg-shlibdeps found, the files lie where Debian
# keeps a game's files, and the desktop entry and AppStream metadata validate. Then the
# extracted launcher, started from another directory, plays the whole game (the
# whole-game display test) and shows a window that belongs to the menu entry
# (installed.sh).
# Called as: SCRIPT BUILD_DIR VERSION ARTIFACT_DIR
set -euo pipefail
build=$1
version=$2
artifacts=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

deb=$(echo "$build/startug_${version}_"*.deb)
[ -f "$deb" ] || fail "no $build/startug_${version}_*.deb: build the package target first"

echo "-- lintian (errors fail; every tag is shown)"
lintian --allow-root --fail-on error --display-info --pedantic --display-experimental \
    --tag-display-limit 0 "$deb" || fail "lintian reports errors"

echo "-- control fields"
info=$(dpkg-deb -I "$deb")
grep -qx " Section: games" <<<"$info" || fail "the package is not in the games section"
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
echo "Depends: $depends"
for library in liballegro4.4 liballeggl4.4 libgl1 libglu1-mesa; do
    grep -qE "(^|[ ,|])$library( |,|$)" <<<"$depends" || fail "Depends does not name $library"
done

echo "-- files"
root=$work/root
dpkg-deb -x "$deb" "$root"
(cd "$root" && dpkg-deb -I "$deb" md5sums | md5sum --quiet -c) || fail "the md5sums do not match"
for file in games/startug games/startug-demo lib/games/startug/startug \
    lib/games/startug/startug-demo share/games/startug/font.pcx \
    share/games/startug/models/ship.model share/man/man6/startug.6.gz \
    share/man/man6/startug-demo.6.gz share/doc/startug/copyright share/doc/startug/changelog.gz; do
    [ -f "$root/usr/$file" ] || fail "the package has no /usr/$file"
done
programs=$(find "$root/usr/share" -type f -exec file {} + | grep ELF || true)
[ -z "$programs" ] || fail "programs under /usr/share: $programs"
for size in 16 24 32 48 64 128 256; do
    icon=$(echo "$root/usr/share/icons/hicolor/${size}x${size}/apps/"*.png)
    [ "$(identify -format %wx%h "$icon")" = "${size}x${size}" ] || fail "no ${size}-pixel icon"
done

echo "-- desktop entry and AppStream metadata"
desktop-file-validate "$root"/usr/share/applications/*.desktop ||
    fail "the desktop entry is not valid"
appstreamcli validate --no-net --strict "$root"/usr/share/metainfo/*.metainfo.xml ||
    fail "the AppStream metadata has errors or warnings"

echo "-- the extracted game, started from another directory"
export STARTUG_INSTALLED=1
for script in "$here/../display/whole_game.sh" "$here/installed.sh"; do
    bash "$script" "$root/usr/games/startug" "$root/usr/share/games/startug" \
        "$artifacts/$(basename "$script" .sh)"
done
echo "PASS"
