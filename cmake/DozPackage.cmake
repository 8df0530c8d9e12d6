# The Debian package: `cmake --build build --target package` writes
# build/doz_<version>_<arch>.deb with everything `cmake --install` installs,
# under /usr. Library dependencies come from dpkg-shlibdeps; the data
# packages the program needs at run time are named here.
set(DOZ_HOMEPAGE "https://doz.example.org" CACHE STRING
    "Home page of the project, for the package and its AppStream metadata")
set(DOZ_APP_ID "org.example.doz" CACHE STRING "AppStream component id, in reverse-DNS form")
set(DOZ_MAINTAINER "Do-Z developers <doz@example.org>" CACHE STRING "Maintainer of the package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME doz)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Do-Z developers")
set(CPACK_PACKAGE_CONTACT ${DOZ_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "impedance measurement with a Ru-Z or Du-D2 unit")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Do-Z sweeps a Ru-Z or Du-D2 impedance-measuring unit on a serial port from\n"
    "10 Hz to 100 kHz and draws resistance and phase against frequency as the\n"
    "points arrive. Measurements are kept as .DTA files, earlier ones can be\n"
    "overlaid as references, exported as tables and printed. The interface is\n"
    "Japanese.\n"
    "\n"
    "doz-cli reads, exports, plots and measures without a window and lists the\n"
    "serial devices with their COM numbers; doz-unitsim simulates the unit on a\n"
    "pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DOZ_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${DOZ_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
