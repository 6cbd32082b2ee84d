# Cross-building Tessary for 64-bit Windows on Debian with mingw-w64:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/MingwToolchain.cmake -DTESSARY_SYSROOT=<prefix> ...
# TESSARY_SYSROOT is where scripts/windows-sysroot.sh installed the static
# libraries it cross-built (libpng, libjpeg-turbo, GoogleTest, cairo, ...);
# zlib comes with Debian's mingw packages. Programs built for the target run
# under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# try_compile runs in a fresh project that only sees the cache and the
# environment, so the sysroot travels both ways.
if(TESSARY_SYSROOT)
  set(ENV{TESSARY_SYSROOT} "${TESSARY_SYSROOT}")
else()
  set(TESSARY_SYSROOT "$ENV{TESSARY_SYSROOT}")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TESSARY_SYSROOT)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${TESSARY_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config answers with the target's .pc files, never the Linux ones.
set(ENV{PKG_CONFIG_LIBDIR} "${TESSARY_SYSROOT}/lib/pkgconfig:/usr/x86_64-w64-mingw32/lib/pkgconfig")
unset(ENV{PKG_CONFIG_PATH})
# zlib: the static archive, so that no DLL has to travel with the program.
set(ZLIB_USE_STATIC_LIBS ON)

# Test programs (and try_run) run under Wine; GoogleTest lists a suite's
# tests when CTest runs them, not at build time.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# Static executables: no mingw runtime DLLs to ship beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
