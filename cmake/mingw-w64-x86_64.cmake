# CMake toolchain file: cross-compiles for 64-bit Windows with Debian's MinGW-w64 and finds the
# static libraries that `scripts/cross-libs.sh windows` builds (its last output line is their
# prefix):
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DTUMBLEWELL_WINDOWS_LIBS="$(scripts/cross-libs.sh windows | tail -n 1)"
# TUMBLEWELL_WINDOWS_LIBS may also come from the environment.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
include(${CMAKE_CURRENT_LIST_DIR}/cross-libraries.cmake)
tumblewell_cross_libraries(TUMBLEWELL_WINDOWS_LIBS)

# libgcc, libstdc++ and winpthread linked in too, so the .exe needs no MinGW DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
