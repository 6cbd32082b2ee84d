# The Debian package, made by scripts/package.sh (cpack -G DEB). Installs
# under /usr; the shared libraries it needs are found with dpkg-shlibdeps.
if(WIN32)
  return()
endif()

set(TESSARY_MAINTAINER "Tessary maintainers <maintainers@tessary.org>" CACHE STRING
    "The Maintainer field of the Debian package")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "tessary")
set(CPACK_PACKAGE_VENDOR "Tessary")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${TESSARY_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "greeting card maker for your photos")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY "${PROJECT_BINARY_DIR}/package")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # tessary_1.0-1_amd64.deb
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TESSARY_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TESSARY_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X11 window-system plugin, loaded at run time where dpkg-shlibdeps
# cannot see it, comes with libqt6gui6 on Debian 12, so the computed list is
# complete.
# The Help and Donate buttons open the browser through the desktop's handler.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# The long description under the summary line; CPack indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessary makes a greeting card from your photos. Pick a card design, put a
photo into each of its regions by clicking it or dropping a photo file on it,
drag each photo to choose the part that shows, and save the card as a JPEG or
PNG picture at the design's own size.
.
Three designs are built in; designs of your own are layout files made from a
region map and an overlay with the tessary-layout tool. tessary-render renders
cards from the command line.")

include(CPack)
