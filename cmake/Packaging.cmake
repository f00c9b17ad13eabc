# The Debian package: `cpack -G DEB` in the build folder makes quillow_<version>_<arch>.deb
# from the install() rules of gui/ and cli/. What the package must hold is listed in
# cmake/package-contents.txt; tests/package/deb_check.sh holds the package to it.

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillow RENAME copyright)

set(CPACK_PACKAGE_NAME quillow)
set(CPACK_PACKAGE_VENDOR Orvandel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orvandel <quillow@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find and remove duplicate lines in text files")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# Packages install under /usr whatever CMAKE_INSTALL_PREFIX a developer build uses;
# the programs find their data relative to their own folder.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quillow.example.org)
# Depends comes from the libraries the binaries link (dpkg-shlibdeps), plus
# Qt Svg: the desktop program's SVG icons are drawn by its plugins, which the
# program loads at run time rather than links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET quillow)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)
endif()
# What the binaries do not link but users notice without: Qt's own dialogs in
# the interface's language, a font with Chinese glyphs, and xdg-open for the
# help page.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk | fonts-wqy-zenhei, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackagingTools.cmake)
# Each line below becomes one line of the extended description; an empty line
# separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[
Quillow finds the lines that occur more than once in a text file, lets
you choose which occurrences to drop (all, all but the first, all but
the last), and writes a cleaned copy. Lines can be compared with or
without letter case, ignoring blanks at both ends, skipping the first
characters, or by what a regular expression matches. Lines keep their
own bytes, encoding and line ends, and the cleaned file is written
through a temporary file, so a failed save never touches the source.

The package holds the desktop program (quillow, Qt 6 Widgets) and
quillow-cli, which does the same job without a display, for scripts
and servers. The interface is in Chinese, and in English under an
English locale.]])

include(CPack)
