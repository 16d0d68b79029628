# `make package`: a Debian package of the program and everything a desktop expects of it
# (menu entry, icon, file types, manual page, completion, licence and README), with its
# dependencies on the run-time libraries it links found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME torvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Torvex Project")
set(CPACK_PACKAGE_CONTACT "Torvex Project <support@torvex.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "S-parameter plotter for RF and microwave engineers")
# The summary line, then the long description; each further line starts with a blank.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}
 Plots Touchstone network-parameter files (.s1p to .s99p, .ts) against frequency
 or time, with markers, searches, limit masks, Smith and polar charts, mixed-mode
 parameters, time-domain responses, quality metrics and network operations, in a
 window or from the command line.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://torvex.example.org")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # torvex_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion, fonts-liberation")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
