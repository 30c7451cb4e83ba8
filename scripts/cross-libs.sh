#!/usr/bin/env bash
# Builds the libraries Tumblewell links as static libraries for another target, from Debian's own
# source packages, into a prefix cached under ${XDG_CACHE_HOME:-~/.cache}/tumblewell/:
#   windows  zlib, libpng, freeglut, SDL2, mpg123 and SDL2_mixer for 64-bit Windows (MinGW-w64)
#   web      zlib, libpng, SDL2, mpg123 and SDL2_mixer for the browser (Emscripten, whose own
#            GLUT serves)
# Usage: scripts/cross-libs.sh TARGET. Prints the prefix as its last line; pass it to the target's
# toolchain file (cmake/mingw-w64-x86_64.cmake, cmake/emscripten.cmake).
# A build sees nothing of this machine's own headers, libraries or pkg-config files.
set -euo pipefail

self=$(readlink -f "$0")
readonly self top=${self%/scripts/*}
readonly cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/tumblewell
# Private apt state: the machine's own apt configuration never learns of deb-src entries.
readonly apt_dir=$cache_root/apt-sources
readonly jobs=2

readonly target=${1:-}
case $target in
  windows)
    readonly triple=x86_64-w64-mingw32 toolchain_file=$top/cmake/mingw-w64-x86_64.cmake
    readonly prefix_variable=TUMBLEWELL_WINDOWS_LIBS
    # In build order: each library is built after those it needs.
    readonly source_packages=(zlib libpng1.6 freeglut libsdl2 mpg123 libsdl2-mixer)
    ;;
  web)
    readonly toolchain_file=$top/cmake/emscripten.cmake prefix_variable=TUMBLEWELL_WEB_LIBS
    readonly source_packages=(zlib libpng1.6 libsdl2 mpg123 libsdl2-mixer)
    # Emscripten's tools need Debian's JavaScript modules.
    export NODE_PATH=/usr/share/nodejs
    ;;
  *)
    echo "usage: $0 windows|web" >&2
    exit 2
    ;;
esac

log() { echo "cross-libs: $*" >&2; }

# The machine's own Debian mirror, as deb-src, from its sources in either format (the one-line
# lists and the deb822 .sources files), read where apt's configuration says they are. Only the
# release's main suite: the mirror this machine reaches does not serve the security archive's
# source files (the point releases carry its fixes a little later).
refresh_source_lists() {
  local codename list parts private=$apt_dir/sources.list.d one_line deb822
  codename=$(sed -n 's/^VERSION_CODENAME=//p' /etc/os-release)
  eval "$(apt-config shell list Dir::Etc::SourceList/f parts Dir::Etc::SourceParts/d)"
  shopt -s nullglob
  one_line=("$parts"*.list)
  deb822=("$parts"*.sources)
  shopt -u nullglob
  [ -f "$list" ] && one_line+=("$list")
  rm -rf "$private"
  mkdir -p "$private" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  # One-line entries: "deb [options] URI suite component...".
  awk -v suite="$codename" '{ sub(/#.*/, "") }
    $1 == "deb" { options = ""; field = 2
                  if ($2 ~ /^\[/) { while (field < NF && $field !~ /\]$/) options = options $(field++) " "
                                    options = options $(field++) " " }
                  if ($(field + 1) == suite) { $1 = "deb-src " options; for (i = 2; i < field; i++) $i = ""
                                               print } }' "${one_line[@]}" /dev/null >"$private/debian-src.list"
  # deb822 stanzas: blank-line separated, with "Suites:" naming the release among others.
  awk -v RS= -v ORS='\n\n' -v suite="$codename" \
    '$0 ~ "(^|\n)Suites:([^\n]* )?" suite "( |\n|$)" { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
    "${deb822[@]}" /dev/null >"$private/debian-src.sources"
  if ! grep -qE '^(deb-src |URIs:)' "$private/debian-src.list" "$private/debian-src.sources"; then
    log "no Debian mirror for '$codename' in $list or ${parts}*.{list,sources}: add one, then run this again"
    return 1
  fi
  apt_private update -qq
}

# The private folders live in root's home, which apt's unprivileged _apt user cannot enter.
apt_private() {
  apt-get -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt_dir/sources.list.d" \
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" \
    -o APT::Sandbox::User=root "$@"
}

# The .dsc file names say each source package's exact version.
source_descriptions() {
  apt_private source --print-uris "${source_packages[@]}" 2>/dev/null | awk '$2 ~ /\.dsc$/ { print $2 }'
}

toolchain_description() {
  local compiler
  if [ "$target" = windows ]; then
    compiler=$(command -v "$triple-gcc") || return 1
    "$compiler" -v 2>&1 | grep -E '^(gcc version|Thread model)'
    dpkg-query -W -f='${Package} ${Version}\n' \
      "$(dpkg -S "$(readlink -f "$compiler")" | cut -d: -f1)" mingw-w64-x86-64-dev
  else
    command -v emcc >/dev/null || return 1
    dpkg-query -W -f='${Package} ${Version}\n' emscripten clang-14 binaryen
  fi
}

# The prefix for the present toolchain, source versions and recipe (this script and the toolchain
# files). Fails while the compiler or the source lists are not there yet.
prefix_for_key() {
  local descriptions toolchain key
  descriptions=$(source_descriptions) || return 1
  [ "$(echo "$descriptions" | grep -c .)" -eq ${#source_packages[@]} ] || return 1
  toolchain=$(toolchain_description) || return 1
  key=$(printf '%s\n' "$toolchain" "$descriptions" |
    cat - "$self" "$toolchain_file" "$top/cmake/cross-libraries.cmake" | sha256sum)
  echo "$cache_root/$target-libs/${key:0:16}"
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

# A configure script run for the target: Emscripten's wrapper hands it emcc and its tools.
configure_for_target() {
  if [ "$target" = web ]; then
    emconfigure "$@"
  else
    "$@"
  fi
}

cmake_build() {
  local source=$1 build=$work/build/${1##*/}
  shift
  cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" \
    -D"$prefix_variable"="$stage" -DCMAKE_INSTALL_PREFIX="$stage" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF "$@"
  cmake --build "$build" -j "$jobs"
  cmake --install "$build"
}

build_zlib() {
  (cd "$1" && CHOST=${triple:-} configure_for_target ./configure --static --prefix="$stage" &&
    make -j "$jobs" && make install)
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

# The decoder library alone, which is all SDL2_mixer uses: neither the player nor its output
# libraries and modules are built. For the web, configure's own test programs cannot run and
# config.sub knows no "emscripten": a generic 32-bit host with plain floating point describes
# what the WebAssembly build is.
build_mpg123() {
  local host=${triple:-i686-pc-linux-gnu} cpu=()
  [ "$target" = web ] && cpu=(--with-cpu=generic_fpu)
  (cd "$1" && configure_for_target ./configure --host="$host" "${cpu[@]}" --prefix="$stage" \
    --with-audio=dummy --disable-modules --disable-shared --enable-static \
    --disable-dependency-tracking &&
    make -j "$jobs" src/libmpg123/libmpg123.la &&
    make install-libLTLIBRARIES install-nodist_includeHEADERS install-includeHEADERS \
      install-pkgconfigDATA lib_LTLIBRARIES=src/libmpg123/libmpg123.la \
      nodist_include_HEADERS=src/libmpg123/mpg123.h pkgconfig_DATA=libmpg123.pc)
}

# MP3 through mpg123, linked in as Debian's package does, and no other codec: WAV is built in.
build_libsdl2-mixer() {
  cmake_build "$1" -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF \
    -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS= -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=OFF \
    -DSDL2MIXER_MP3_MPG123=ON -DSDL2MIXER_MP3_MPG123_SHARED=OFF -DSDL2MIXER_WAVE=ON
  [ "$target" = windows ] && link_mpg123_with_shlwapi
  return 0
}

# On Windows the static libmpg123 needs shlwapi, as its libmpg123.pc says; the find module
# SDL2_mixer installs for its CMake users does not know, and their programs would not link.
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
    log "building $(basename "$current_log" .log) for $target failed; above, the end of its log"
  fi
  rm -rf "$work"
}

build_all() {
  local prefix=$1 package started
  # One fixed folder per target, as builds take turns: what a killed run left goes, and the
  # source paths that the libraries keep (assertion messages) are the same at every build.
  work=$cache_root/building-$target
  rm -rf "$work"
  mkdir -p "$work"
  trap clean_up EXIT
  stage=$work/prefix
  # Configure scripts ask pkg-config what is installed: only what this build installed counts.
  export PKG_CONFIG_LIBDIR=$stage/lib/pkgconfig PKG_CONFIG_PATH=
  for package in "${source_packages[@]}"; do
    started=$SECONDS
    current_log=$work/$package.log
    (
      unpack_source "$package" "$work/src/$package"
      "build_$package" "$work/src/$package"
    ) >"$current_log" 2>&1
    log "$package built for $target in $((SECONDS - started)) s"
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
  "$top/scripts/install-deps.sh" "$target"
  # One build at a time on this machine; a second run waits, then finds the first one's prefix.
  exec 9>"$cache_root/cross-libs.lock"
  flock 9
  refresh_source_lists
  prefix=$(prefix_for_key)
  [ -d "$prefix" ] || build_all "$prefix"
  echo "$prefix"
}

main
