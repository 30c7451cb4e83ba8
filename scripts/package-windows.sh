#!/usr/bin/env bash
# Builds Tumblewell for Windows into build/package/tumblewell-<version>-win64.zip: cross-compiled
# with Debian's MinGW-w64 against the static libraries that `scripts/cross-libs.sh windows` builds
# from Debian's own sources (the first run on a machine builds them, for some minutes; later runs
# find them cached). Unzipped anywhere, the program starts with a double-click.
set -euo pipefail
cd "$(dirname "$0")/.."

libraries=$(scripts/cross-libs.sh windows | tail -n 1)
# A build folder configured against other libraries (an older prefix) keeps the paths of their
# CMake packages: it starts afresh.
grep -qF "SDL2_DIR:PATH=$libraries/" build/windows/CMakeCache.txt 2>/dev/null || rm -rf build/windows
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
cmake --no-warn-unused-cli -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DTUMBLEWELL_WINDOWS_LIBS="$libraries" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/windows -j"$(nproc)" >/dev/null
rm -f build/package/tumblewell-*-win64.zip
cpack --config build/windows/CPackConfig.cmake -B build/package >/dev/null
ls build/package/tumblewell-*-win64.zip
