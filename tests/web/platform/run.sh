#!/bin/bash
# The web platform's own check: a small program that starts Allegro as the game does, built
# against the web Allegro and the GL layer, driven in headless Chromium (drive.py).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../../scripts/common.sh"
source "$STARTUG_ROOT/scripts/web.sh"

ensure_packages $STARTUG_WEB_PACKAGES
allegro=$(web_allegro)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
web_run emcmake cmake -S "$STARTUG_WEB_GL" -B "$out/gl" -DCMAKE_BUILD_TYPE=Release >/dev/null
web_run cmake --build "$out/gl" -j "$(nproc)" >/dev/null
cp "$here/index.html" "$out"
cp "$STARTUG_ROOT/fuzz/corpus/tga_fuzz/rgb32_raw_top.tga" "$out/image.tga"
cp "$STARTUG_ROOT/fuzz/corpus/font_fuzz/rgb-three-glyphs.pcx" "$out/font.pcx"
cd "$out"
web_run emcc -O2 -std=c11 -Wall -Wextra -Werror -isystem "$allegro/include" \
    -c "$here/check.c" -o check.o
# The GL layer is C++: em++ links its library.
web_run em++ -O2 check.o -o check.js -L"$allegro/lib" -lalleggl -lalleg gl/libstartug_webgl.a \
    -sASYNCIFY=1 -sALLOW_MEMORY_GROWTH=1 -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2 \
    -sEXIT_RUNTIME=1 --embed-file image.tga --embed-file font.pcx
/usr/bin/python3 "$here/drive.py" "$out"
