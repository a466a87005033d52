# `cpack -G DEB` in the build folder: one Debian package with the programs,
# their manual pages and the client library with its headers. The library
# scan (dpkg-shlibdeps) finds Qt and the C library; what is loaded at run
# time without being linked is named here: the Qt platform plug-ins (X11 and
# Wayland) and the fonts the display draws with.
set(CPACK_PACKAGE_NAME zorva)
set(CPACK_PACKAGE_VENDOR "ZORVA developers")
set(CPACK_PACKAGE_CONTACT "ZORVA developers <zorva@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "display for the ZORVA 2-D graphics library")
set(CPACK_PACKAGE_DESCRIPTION
  "zorvad follows a command file that a client program appends drawing\n requests to and shows them in a window; zorva-render draws such a file\n without a screen. libzorva is the client library, with a C API.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, fonts-dejavu-core, fonts-liberation2")
# The library folder is on the loader's path: its cache is renewed by trigger.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/cmake/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)

# The copyright file and the compressed change log every Debian package
# carries; `cmake --install` puts them in the documentation folder too.
configure_file(${CMAKE_SOURCE_DIR}/cmake/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/debian/changelog > ${CMAKE_BINARY_DIR}/debian/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog)
add_custom_target(zorva_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)
