#!/bin/bash
# Builds the web platform's check program against the web Allegro, with a stand-in for the
# GL layer, and drives it in headless Chromium.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../../scripts/common.sh"
source "$STARTUG_ROOT/scripts/windows.sh"
source "$STARTUG_ROOT/scripts/web.sh"

ensure_packages $STARTUG_WEB_PACKAGES
allegro=$(web_allegro)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cp "$here/index.html" "$out"
cp "$STARTUG_ROOT/fuzz/corpus/tga_fuzz/rgb32_raw_top.tga" "$out/image.tga"
cp "$STARTUG_ROOT/fuzz/corpus/font_fuzz/rgb-three-glyphs.pcx" "$out/font.pcx"
(cd "$out" && web_run emcc -O2 -std=c11 -Wall -Wextra -Werror -I"$allegro/include" \
    "$here/check.c" -o check.js -L"$allegro/lib" $STARTUG_WEB_LDFLAGS \
    --embed-file image.tga --embed-file font.pcx)
/usr/bin/python3 "$here/drive.py" "$out"
