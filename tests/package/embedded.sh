#!/usr/bin/env bash
# StarTug inside another CMake project: a scratch project that adds this repository with
# add_subdirectory configures, builds and links startug_core, and gets none of StarTug's
# tests, benchmarks or packaging unless it asks.
# Called as: SCRIPT SOURCE_DIR
set -euo pipefail
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

mkdir "$work/outer"
cat >"$work/outer/CMakeLists.txt" <<END
cmake_minimum_required(VERSION 3.21)
project(Outer LANGUAGES C CXX)
add_subdirectory("$source" startug)
add_executable(outer main.cpp)
target_link_libraries(outer PRIVATE startug_core)
END
# Calls into the game's shell, which links the whole library, without opening a display.
cat >"$work/outer/main.cpp" <<'END'
#include "game.h"

int main(int argc, char** argv) { return FullscreenRequested(argc, argv) ? 1 : 0; }
END

echo "-- configure"
cmake -S "$work/outer" -B "$work/build" -DCMAKE_BUILD_TYPE=Release >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log"; fail "the outer project does not configure"; }
targets=$(cmake --build "$work/build" --target help)
for target in startug_tests autopilot_tests startug-bench startug_contact_sheet package; do
    ! grep -qw -- "$target" <<<"$targets" || fail "the outer project got StarTug's $target"
done

echo "-- build and link startug_core"
cmake --build "$work/build" --target outer -j 2 >"$work/build.log" 2>&1 ||
    { cat "$work/build.log"; fail "the outer project does not build"; }
"$work/build/outer" || fail "the outer program failed"
echo "PASS"
