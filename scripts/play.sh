#!/usr/bin/env bash
# Installs what is missing, builds the sandbox and starts it. It runs from the
# repository's top folder, where it finds images/ and audio/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh play
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/release --target tumblewell -j"$(nproc)" >/dev/null
exec build/release/tumblewell
