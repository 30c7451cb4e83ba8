#!/usr/bin/env bash
# Builds Tumblewell for the browser into build/package/tumblewell-<version>-web.zip: compiled to
# WebAssembly with Debian's Emscripten against the static libraries that `scripts/cross-libs.sh
# web` builds from Debian's own sources (the first run on a machine builds them, for some
# minutes; later runs find them cached). Any static web server serves the unzipped folder;
# scripts/play-web.sh serves it here.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh web
# Emscripten's tools need Debian's JavaScript modules.
export NODE_PATH=/usr/share/nodejs
libraries=$(scripts/cross-libs.sh web | tail -n 1)
# A build folder configured against other libraries (an older prefix) keeps the paths of their
# CMake packages: it starts afresh.
grep -qF "SDL2_DIR:PATH=$libraries/" build/web/CMakeCache.txt 2>/dev/null || rm -rf build/web
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
cmake --no-warn-unused-cli -S . -B build/web -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake \
  -DTUMBLEWELL_WEB_LIBS="$libraries" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/web -j"$(nproc)" >/dev/null
rm -f build/package/tumblewell-*-web.zip
cpack --config build/web/CPackConfig.cmake -B build/package >/dev/null
ls build/package/tumblewell-*-web.zip
