# Installation (resources/Install.cmake) and the Debian package built by CPack:
# `cpack -G DEB` in the build tree makes peerwell_<version>_<arch>.deb.
set(CPACK_PACKAGE_CONTACT "Peerwell developers <peerwell@example.org>" CACHE STRING
    "Maintainer of the Debian package")

include(${CMAKE_SOURCE_DIR}/resources/Install.cmake)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME peerwell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Peerwell developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "logs the files that appear in and disappear from a few directories")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Peerwell watches up to nine local directories and appends, for each one, a\n\
time-stamped line to a log file for every file that arrives in it or leaves it.\n\
It can play a sound when something was reported and lives behind an icon in\n\
the system tray. The headless watcher peerwell-watch reads the same list and\n\
runs as a systemd user service.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# Install with DESTDIR so that the install-time paths in the desktop entry and the unit are the
# packaged ones (/usr/bin), not the staging directory.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
