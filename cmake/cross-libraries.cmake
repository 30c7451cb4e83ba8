# Shared by the toolchain files of the cross builds: headers, libraries, CMake packages and
# pkg-config files come only from the target's own system folders and from the prefix of static
# libraries that scripts/cross-libs.sh built for it, never from the Linux machine; programs
# (pkg-config, code generators) are the machine's own. `prefix_variable` names the cache variable
# that holds the prefix; it may also come from the environment.
macro(tumblewell_cross_libraries prefix_variable)
  if(NOT ${prefix_variable} AND DEFINED ENV{${prefix_variable}})
    set(${prefix_variable} "$ENV{${prefix_variable}}")
  endif()
  set(${prefix_variable} "${${prefix_variable}}"
      CACHE PATH "Prefix of the static libraries (scripts/cross-libs.sh prints it)")
  # try_compile projects read the toolchain file again without the cache: hand the prefix on.
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ${prefix_variable})

  list(APPEND CMAKE_FIND_ROOT_PATH ${${prefix_variable}})
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

  # pkg-config would otherwise answer with the Linux libraries' flags.
  if(${prefix_variable})
    set(ENV{PKG_CONFIG_LIBDIR} "${${prefix_variable}}/lib/pkgconfig")
    set(ENV{PKG_CONFIG_PATH} "")
  endif()
endmacro()
