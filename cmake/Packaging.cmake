# Installing and packaging, included at the end of the root CMakeLists.txt so that every target
# and install rule already exists. `cpack -G DEB` in the build folder makes the Debian package.

set(CPACK_PACKAGE_NAME "tallyglass")
set(CPACK_PACKAGE_VENDOR "Corvane")
# The one version record: the package carries the version text the About window shows.
set(CPACK_PACKAGE_VERSION "${TALLYGLASS_VERSION_TEXT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Shows a file's time stamps, size, digests and document properties")
set(CPACK_PACKAGE_DESCRIPTION
  "Tallyglass shows everything worth knowing about one file: its path, time stamps and size, its MD5, SHA-1 and SHA-256 digests, and the 29 document properties that office documents carry. The package also holds tallyglass-report, which prints the same fields as text or JSON.")
set(CPACK_PACKAGE_CONTACT "Corvane <support@corvane.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${TALLYGLASS_SITE}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The dependencies are the shared libraries the programs link against, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# qpdf's library is named as well, with the oldest version whose reader we rely on; dpkg-shlibdeps
# adds the same package from the linked soname, and the two merge.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqpdf29 (>= 11.3)")

include(CPack)
