# The Debian package: `cmake --build build --target package` (or cpack in the
# build folder) writes lumetra_<version>_<arch>.deb. The library dependencies
# come from the binaries (dpkg-shlibdeps); what the program needs at run time
# without linking to it is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumetra)
set(CPACK_PACKAGE_VENDOR Tarvix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "live stereo audio meter: PPM, correlation, spectrum, stereo")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarvix <packages@tarvix.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tarvix.example/lumetra/")
# The long description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Lumetra measures a live 16-bit stereo input at 44.1 or 48 kHz and shows a
peak programme meter, a correlation meter, a 128-band spectrum analyzer and
an X/Y stereo meter in one window, with stored window layouts.

lumetra-analyze runs finished sound files through the same instruments and
writes a JSON report.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The instruments' text is laid out with DejaVu's metrics; the Wayland
# platform plugin lets the program run in a Wayland session without XWayland.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
