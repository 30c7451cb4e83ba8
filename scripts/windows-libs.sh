#!/usr/bin/env bash
# Cross-builds the libraries Tumblewell links (zlib, libpng, freeglut, SDL2, mpg123, SDL2_mixer) as
# static 64-bit Windows libraries with MinGW-w64, from Debian's own source packages, into a prefix
# cached under ${XDG_CACHE_HOME:-~/.cache}/tumblewell/. Prints that prefix as its last line; pass it
# to cmake/mingw-w64-x86_64.cmake as TUMBLEWELL_WINDOWS_LIBS.
set -euo pipefail

readonly triple=x86_64-w64-mingw32
self=$(readlink -f "$0")
readonly self
readonly toolchain_file=${self%/scripts/*}/cmake/mingw-w64-x86_64.cmake
readonly cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/tumblewell
# Private apt state: the machine's own apt configuration never learns of deb-src entries.
readonly apt_dir=$cache_root/apt-sources
readonly jobs=2

# In build order: each library is built after those it needs.
readonly source_packages=(zlib libpng1.6 freeglut libsdl2 mpg123 libsdl2-mixer)
readonly debian_packages=(
  g++-mingw-w64-x86-64 # the cross compiler, MinGW-w64 runtime and binutils
  cmake make
  dpkg-dev # dpkg-source, to unpack the source packages with Debian's patches
  xz-utils bzip2
)

log() { echo "windows-libs: $*" >&2; }

install_missing_packages() {
  local missing=() package
  for package in "${debian_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  log "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # Waits, rather than fails, while another install on this machine holds dpkg's lock.
  apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
}

# The private folders live in root's home, which apt's unprivileged _apt user cannot enter.
apt_private() {
  apt-get -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt_dir/sources.list.d" \
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" \
    -o APT::Sandbox::User=root "$@"
}

# The machine's own Debian mirror, as deb-src. Only the release's main suites: the mirror this
# machine reaches does not serve the security archive's source files (the point releases carry
# its fixes a little later).
refresh_source_lists() {
  local codename
  codename=$(sed -n 's/^VERSION_CODENAME=//p' /etc/os-release)
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  awk -v RS= -v ORS='\n\n' -v suite="$codename" \
    '$0 ~ "\nSuites:([^\n]* )?" suite "( |\n|$)" { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
    /etc/apt/sources.list.d/debian.sources >"$apt_dir/sources.list.d/debian-src.sources"
  grep -q '^URIs:' "$apt_dir/sources.list.d/debian-src.sources" || {
    log "no '$codename' entry in /etc/apt/sources.list.d/debian.sources"
    return 1
  }
  apt_private update -qq
}

# The .dsc file names say each source package's exact version.
source_descriptions() {
  apt_private source --print-uris "${source_packages[@]}" 2>/dev/null | awk '$2 ~ /\.dsc$/ { print $2 }'
}

toolchain_description() {
  local compiler
  compiler=$(command -v "$triple-gcc") || return 1
  "$compiler" -v 2>&1 | grep -E '^(gcc version|Thread model)'
  dpkg-query -W -f='${Package} ${Version}\n' \
    "$(dpkg -S "$(readlink -f "$compiler")" | cut -d: -f1)" mingw-w64-x86-64-dev
}

# The prefix for the present toolchain, source versions and recipe (this script and the toolchain
# file). Fails while the compiler or the source lists are not there yet.
prefix_for_key() {
  local descriptions toolchain key
  descriptions=$(source_descriptions) || return 1
  [ "$(echo "$descriptions" | grep -c .)" -eq ${#source_packages[@]} ] || return 1
  toolchain=$(toolchain_description) || return 1
  key=$(printf '%s\n' "$toolchain" "$descriptions" | cat - "$self" "$toolchain_file" | sha256sum)
  echo "$cache_root/windows-libs/${key:0:16}"
}

# Fetches and unpacks one source package into $2. apt-get fails on mpg123, whose upstream
# signature the mirror lacks, so its status is not trusted: every file the .dsc names, other than
# a signature, must be there with its checksum.
unpack_source() {
  local package=$1 destination=$2 download=$work/download/$1 dsc
  mkdir -p "$download" "${destination%/*}"
  (cd "$download" && apt_private source --download-only -qq "$package" >/dev/null 2>&1) || true
  dsc=$(ls "$download"/*.dsc)
  awk '/^Checksums-Sha256:/ { listed = 1; next } /^[^ ]/ { listed = 0 }
       listed && $3 !~ /\.asc$/ { print $1 "  " $3 }' "$dsc" | (cd "$download" && sha256sum -c --quiet)
  dpkg-source -x --no-check "$dsc" "$destination" >/dev/null
}

cmake_build() {
  local source=$1 build=$work/build/${1##*/}
  shift
  cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" \
    -DTUMBLEWELL_WINDOWS_LIBS="$stage" -DCMAKE_INSTALL_PREFIX="$stage" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF "$@"
  cmake --build "$build" -j "$jobs"
  cmake --install "$build"
}

build_zlib() {
  (cd "$1" && CHOST=$triple ./configure --static --prefix="$stage" && make -j "$jobs" && make install)
}

build_libpng1.6() {
  cmake_build "$1" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
}

# Named glut, as in Debian's Linux package; the program finds it through its CMake package.
build_freeglut() {
  cmake_build "$1" -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
    -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_REPLACE_GLUT=ON
}

build_libsdl2() {
  cmake_build "$1" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
}

# Built as Debian builds it, with its own configure script; its programs come along, unused.
build_mpg123() {
  (cd "$1" && ./configure --host="$triple" --prefix="$stage" --disable-shared --enable-static \
    --disable-dependency-tracking &&
    make -j "$jobs" && make install)
}

# MP3 through mpg123, linked in as Debian's package does, and no other codec: WAV is built in.
build_libsdl2-mixer() {
  cmake_build "$1" -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF \
    -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS= -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=OFF \
    -DSDL2MIXER_MP3_MPG123=ON -DSDL2MIXER_MP3_MPG123_SHARED=OFF -DSDL2MIXER_WAVE=ON
  link_mpg123_with_shlwapi
}

# The static libmpg123 needs shlwapi, as its libmpg123.pc says; the find module SDL2_mixer installs
# for its CMake users does not know, and their programs would not link.
link_mpg123_with_shlwapi() {
  local module=$stage/lib/cmake/SDL2_mixer/FindMPG123.cmake
  sed -i 's/^set(MPG123_LINK_LIBRARIES "" /set(MPG123_LINK_LIBRARIES "shlwapi" /' "$module"
  grep -q '^set(MPG123_LINK_LIBRARIES "shlwapi" ' "$module"
}

# Installed text files (pkg-config, CMake, sdl2-config) name the folder they were installed into;
# point them at the final one.
relocate() {
  grep -rlIFZ "$stage" "$stage" | xargs -0 sed -i "s|$stage|$1|g"
}

# A failed build shows the end of its log; nothing of it is left behind.
clean_up() {
  local status=$?
  if [ $status -ne 0 ] && [ -n "${current_log:-}" ]; then
    tail -n 40 "$current_log" >&2
    log "building $(basename "$current_log" .log) failed; above, the end of its log"
  fi
  rm -rf "$work"
}

build_all() {
  local prefix=$1 package started
  # One fixed folder, as builds take turns: what a killed run left goes, and the source paths that
  # the libraries keep (assertion messages) are the same at every build.
  work=$cache_root/windows-libs.building
  rm -rf "$work"
  mkdir -p "$work"
  trap clean_up EXIT
  stage=$work/prefix
  for package in "${source_packages[@]}"; do
    started=$SECONDS
    current_log=$work/$package.log
    (
      unpack_source "$package" "$work/src/$package"
      "build_$package" "$work/src/$package"
    ) >"$current_log" 2>&1
    log "$package built in $((SECONDS - started)) s"
  done
  current_log=
  find "$stage" -name '*.la' -delete # libtool's notes hold paths and serve no CMake build
  relocate "$prefix"
  printf '%s\n' "$(toolchain_description)" "$(source_descriptions)" >"$stage/versions.txt"
  mkdir -p "$(dirname "$prefix")"
  mv -T "$stage" "$prefix"
}

main() {
  mkdir -p "$cache_root"
  local prefix
  if prefix=$(prefix_for_key) && [ -d "$prefix" ]; then
    echo "$prefix"
    return
  fi
  install_missing_packages
  # One build at a time on this machine; a second run waits, then finds the first one's prefix.
  exec 9>"$cache_root/windows-libs.lock"
  flock 9
  refresh_source_lists
  prefix=$(prefix_for_key)
  [ -d "$prefix" ] || build_all "$prefix"
  echo "$prefix"
}

main "$@"
