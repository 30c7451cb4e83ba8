#!/usr/bin/env bash
# Builds Tumblewell's Debian package into build/package/: a Release build laid
# out under /usr as Debian lays out games, its run-time dependencies worked out
# from the binary. The same commit gives the same bytes: every date in the
# package is the last commit's (SOURCE_DATE_EPOCH, as Debian's reproducible
# builds set it), file modes do not follow the caller's umask, and the build
# folder's path is mapped out of the binary (dpkg-buildflags).
# Install it with: apt install ./build/package/tumblewell_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh play package
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
umask 022
# Debian's own compiler and linker hardening, as its packages are built.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
cmake -S . -B build/package -DCMAKE_BUILD_TYPE=Release -DTUMBLEWELL_GAMES_LAYOUT=ON \
  -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF >/dev/null
cmake --build build/package -j"$(nproc)" >/dev/null
rm -f build/package/*.deb
cpack --config build/package/CPackConfig.cmake -B build/package >/dev/null
ls build/package/tumblewell_*.deb
