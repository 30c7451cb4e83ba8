# CMake toolchain file: builds for the web with Debian's Emscripten and finds the static libraries
# that `scripts/cross-libs.sh web` builds (its last output line is their prefix):
#   NODE_PATH=/usr/share/nodejs cmake -S . -B build/web -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake \
#         -DTUMBLEWELL_WEB_LIBS="$(scripts/cross-libs.sh web | tail -n 1)"
# TUMBLEWELL_WEB_LIBS may also come from the environment. Emscripten's tools need Debian's
# JavaScript modules, hence NODE_PATH, for the configuration and for the build alike.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/cross-libraries.cmake)
tumblewell_cross_libraries(TUMBLEWELL_WEB_LIBS)
# The prefix searched before Emscripten's own folders, whose SDL2 package stands for a
# downloadable SDL2 (-sUSE_SDL=2) that Debian's Emscripten cannot fetch.
list(PREPEND CMAKE_FIND_ROOT_PATH ${TUMBLEWELL_WEB_LIBS})
