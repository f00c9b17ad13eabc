# The Debian package: `cpack -G DEB` in the build folder makes quillow_<version>_<arch>.deb
# from the install() rules of gui/ and cli/. What the package must hold is listed in
# cmake/package-contents.txt; tests/package/deb_check.sh holds the package to it.

# The copyright file in Debian's machine-readable form (DEP-5), the licence
# text from LICENSE: each line indented by a blank, an empty line as " .".
# LICENSE is the MIT licence, which Debian calls Expat.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE license_lines ENCODING UTF-8)
# The text from "Permission": the title and the copyright line have fields of their own.
set(QUILLOW_LICENSE_TEXT "")
set(in_text OFF)
foreach(line IN LISTS license_lines)
  if(line MATCHES "^Permission")
    set(in_text ON)
  endif()
  if(NOT in_text)
    continue()
  endif()
  if(line STREQUAL "")
    set(line ".")
  endif()
  string(APPEND QUILLOW_LICENSE_TEXT " ${line}\n")
endforeach()
string(REGEX REPLACE "\n$" "" QUILLOW_LICENSE_TEXT "${QUILLOW_LICENSE_TEXT}")
configure_file(${PROJECT_SOURCE_DIR}/resources/package/copyright.in ${PROJECT_BINARY_DIR}/package/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/package/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillow)

# The changelog in Debian's form, compressed as Debian wants it (no name or
# time in the gzip header, so the same sources give the same bytes). The
# version has no Debian revision: a native package, whose changelog is changelog.gz.
configure_file(${PROJECT_SOURCE_DIR}/resources/package/changelog.in ${PROJECT_BINARY_DIR}/package/changelog @ONLY)
find_program(QUILLOW_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/package/changelog.gz
  COMMAND ${QUILLOW_GZIP} -9nc ${PROJECT_BINARY_DIR}/package/changelog > ${PROJECT_BINARY_DIR}/package/changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/package/changelog
  VERBATIM)
add_custom_target(quillow_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/package/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/package/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillow)

set(CPACK_PACKAGE_NAME quillow)
set(CPACK_PACKAGE_VENDOR Orvandel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${QUILLOW_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUILLOW_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find and remove duplicate lines in text files")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# Packages install under /usr whatever CMAKE_INSTALL_PREFIX a developer build uses;
# the programs find their data relative to their own folder.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUILLOW_HOMEPAGE}")
# Depends comes from the libraries the binaries link (dpkg-shlibdeps), plus
# Qt Svg: the desktop program's SVG icons are drawn by its plugins, which the
# program loads at run time rather than links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET quillow)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)
endif()
# What the binaries do not link but users notice without: Qt's own dialogs in
# the interface's language and a font with Chinese glyphs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk | fonts-wqy-zenhei")
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
