# CMake toolchain file: cross-compiles for 64-bit Windows with Debian's MinGW-w64 and finds the
# static libraries that scripts/windows-libs.sh builds (its last output line is their prefix):
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DTUMBLEWELL_WINDOWS_LIBS="$(scripts/windows-libs.sh | tail -n 1)"
# TUMBLEWELL_WINDOWS_LIBS may also come from the environment.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

if(NOT TUMBLEWELL_WINDOWS_LIBS AND DEFINED ENV{TUMBLEWELL_WINDOWS_LIBS})
  set(TUMBLEWELL_WINDOWS_LIBS "$ENV{TUMBLEWELL_WINDOWS_LIBS}")
endif()
set(TUMBLEWELL_WINDOWS_LIBS "${TUMBLEWELL_WINDOWS_LIBS}"
    CACHE PATH "Prefix of the static Windows libraries (scripts/windows-libs.sh prints it)")
# try_compile projects read this file again without the cache: hand the prefix on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TUMBLEWELL_WINDOWS_LIBS)

# Headers, libraries and packages only from the MinGW runtime and the prefix, never from the
# Linux system; programs (pkg-config, code generators) are the build machine's own.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} ${TUMBLEWELL_WINDOWS_LIBS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config would otherwise answer with the Linux libraries' flags.
if(TUMBLEWELL_WINDOWS_LIBS)
  set(ENV{PKG_CONFIG_LIBDIR} "${TUMBLEWELL_WINDOWS_LIBS}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
endif()

# libgcc, libstdc++ and winpthread linked in too, so the .exe needs no MinGW DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
