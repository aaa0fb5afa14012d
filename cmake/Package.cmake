# The Debian package: `cpack -G DEB` in a build folder configured with CMAKE_INSTALL_PREFIX=/usr
# (scripts/package does both). It holds what cmake/Install.cmake installs; its dependencies come
# from the binaries (dpkg-shlibdeps).
set(CPACK_PACKAGE_NAME tr58link)
set(CPACK_PACKAGE_VENDOR "Halvion")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "TR58 Link maintainers <tr58link@localhost>"
    CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "desktop program for the TR58 handheld measurement indicator")
# One text (lines of the package's long description; an empty line separates paragraphs).
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "TR58 Link finds a TR58 measurement indicator on a serial port, a USB cable or\n"
  "the network, downloads and deletes its recorded data files and follows its\n"
  "readings in real time. Every data set becomes a document with an information\n"
  "page, a chart and a data table, saved as a .t58 file and exported as CSV or\n"
  "tab-delimited text.\n"
  "\n"
  "Also included: tr58 (the same on the command line), tr58sim (an instrument\n"
  "simulator, to try it all without an instrument), Cablewatch (finds the USB\n"
  "instrument cables), kterm, and the terminal and KSMON libraries with their\n"
  "headers, CMake package and pkg-config files.\n"
  "\n"
  "Serial access: serial ports and USB cables belong to the group dialout. Add\n"
  "each user of the instrument to it once (sudo adduser USER dialout) and log in\n"
  "again.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # tr58link_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# Qt's own dialogs in Swedish, the Wayland platform, and the tools the post-install steps use.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-translations-l10n, qt6-wayland, shared-mime-info, desktop-file-utils, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/data/debian/postinst ${CMAKE_SOURCE_DIR}/data/debian/postrm
    ${CMAKE_SOURCE_DIR}/data/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)
