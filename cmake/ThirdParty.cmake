# The libraries behind PDF and printing, text, project files and more photo
# formats, as the same imported targets on Linux and in the Windows
# cross-build:
#   tessary::cairo     cairo with its PDF surface and FreeType fonts
#   tessary::harfbuzz  HarfBuzz (with hb-ft; brings tessary::freetype)
#   tessary::freetype  FreeType
#   tessary::zip       libzip
#   tessary::json      nlohmann-json (headers)
#   tessary::heif      libheif (HEIF/HEIC decoding through libde265)
#   tessary::webp      libwebp
#   tessary::tiff      libtiff
# Linux links Debian's shared libraries (found through pkg-config, and
# nlohmann-json's CMake config); the Windows build links the static ones
# scripts/windows-sysroot.sh cross-built into TESSARY_SYSROOT, each with what
# its installed files leave out.
#
# The fonts that ship with the program, as paths on the build machine:
#   TESSARY_FONT_DEJAVU_SANS, TESSARY_FONT_DEJAVU_SERIF, TESSARY_FONT_DANCING_SCRIPT
# (each family's regular face; its other faces sit beside it) and
# TESSARY_FONT_LICENCES, the packages' copyright files.
# On Linux the system's fonts are listed through fontconfig:
#   tessary::fontconfig
find_package(PkgConfig REQUIRED)

# The imported target tessary::NAME that links what pkg-config says about
# MODULE; in the Windows build the static flags, whose order matters there.
function(tessary_pkg_config_target name module)
  pkg_check_modules(_tessary_${name} REQUIRED QUIET ${module})
  add_library(tessary::${name} INTERFACE IMPORTED)
  if(WIN32)
    set(_p _tessary_${name}_STATIC)
    set(_libs "${${_p}_LDFLAGS}")
  else()
    set(_p _tessary_${name})
    set(_libs "${${_p}_LINK_LIBRARIES}")  # full paths
  endif()
  set_target_properties(tessary::${name} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${${_p}_INCLUDE_DIRS}"
    INTERFACE_COMPILE_OPTIONS "${${_p}_CFLAGS_OTHER}"
    INTERFACE_LINK_LIBRARIES "${_libs}")
endfunction()

if(NOT WIN32)
  tessary_pkg_config_target(freetype freetype2)
  tessary_pkg_config_target(harfbuzz harfbuzz)
  target_link_libraries(tessary::harfbuzz INTERFACE tessary::freetype)
  tessary_pkg_config_target(cairo cairo)
  target_link_libraries(tessary::cairo INTERFACE tessary::freetype)
  # Debian's libzip config names the zip tools, which another package holds.
  tessary_pkg_config_target(zip libzip)
  tessary_pkg_config_target(webp libwebp)
  tessary_pkg_config_target(tiff libtiff-4)
  tessary_pkg_config_target(heif libheif)
  find_package(nlohmann_json 3.11 CONFIG REQUIRED)
  add_library(tessary::json INTERFACE IMPORTED)
  target_link_libraries(tessary::json INTERFACE nlohmann_json::nlohmann_json)
  tessary_pkg_config_target(fontconfig fontconfig)
else()
  # Everything comes from the sysroot (the toolchain file's find root).
  find_package(freetype CONFIG REQUIRED)  # carries libpng and zlib
  add_library(tessary::freetype INTERFACE IMPORTED)
  target_link_libraries(tessary::freetype INTERFACE freetype)

  # Built without FreeType's own HarfBuzz support, so there is no cycle:
  # HarfBuzz, then FreeType.
  find_package(harfbuzz CONFIG REQUIRED)
  add_library(tessary::harfbuzz INTERFACE IMPORTED)
  target_link_libraries(tessary::harfbuzz INTERFACE harfbuzz::harfbuzz tessary::freetype
    Threads::Threads)

  # cairo's .pc leaves out GDI's and msimg32's functions, and its build
  # fortifies its sources (-D_FORTIFY_SOURCE=2), so mingw's headers call the
  # checked copies in libssp.
  tessary_pkg_config_target(cairo cairo)
  target_link_libraries(tessary::cairo INTERFACE tessary::freetype gdi32 msimg32 ssp)

  # libzip's config does not look for zlib itself.
  find_package(libzip CONFIG REQUIRED)
  add_library(tessary::zip INTERFACE IMPORTED)
  target_link_libraries(tessary::zip INTERFACE libzip::zip ZLIB::ZLIB bcrypt advapi32)

  # WebP's config uses Threads::Threads without looking for it.
  find_package(WebP CONFIG REQUIRED)
  add_library(tessary::webp INTERFACE IMPORTED)
  target_link_libraries(tessary::webp INTERFACE WebP::webp Threads::Threads)

  # tiff installs no config; FindTIFF's target leaves out its codecs' libraries.
  find_package(TIFF REQUIRED)
  add_library(tessary::tiff INTERFACE IMPORTED)
  target_link_libraries(tessary::tiff INTERFACE TIFF::TIFF JPEG::JPEG ZLIB::ZLIB)

  # libheif and libde265 are C++: C++ programs link them as they are.
  find_package(libheif CONFIG REQUIRED)
  add_library(tessary::heif INTERFACE IMPORTED)
  target_link_libraries(tessary::heif INTERFACE heif Threads::Threads)

  # The sysroot's own copy: Debian's headers would come with -I/usr/include,
  # where glibc's headers would win over mingw's.
  find_package(nlohmann_json 3.11 CONFIG REQUIRED)
  add_library(tessary::json INTERFACE IMPORTED)
  target_link_libraries(tessary::json INTERFACE nlohmann_json::nlohmann_json)
endif()

# The fonts live on the build machine in both builds (NO_CMAKE_FIND_ROOT_PATH:
# not the cross-build's sysroot).
find_file(TESSARY_FONT_DEJAVU_SANS DejaVuSans.ttf
  PATHS /usr/share/fonts/truetype/dejavu NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_file(TESSARY_FONT_DANCING_SCRIPT DancingScript-Regular.otf
  PATHS /usr/share/fonts/opentype/dancingscript NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_file(TESSARY_FONT_DEJAVU_SERIF DejaVuSerif.ttf
  PATHS /usr/share/fonts/truetype/dejavu NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(TESSARY_FONT_LICENCES
  "/usr/share/doc/fonts-dejavu-core/copyright=LICENCE-DejaVu.txt"
  "/usr/share/doc/fonts-dancingscript/copyright=LICENCE-DancingScript.txt")
