# `cpack -G DEB` in the build folder: four Debian packages, one an install
# component.
#   zorva          the programs zorvad and zorva-render, their manual pages
#   libzorva1      the shared client library
#   libzorva-dev   headers, static library, CMake and pkg-config files, zorva(3)
#   python3-zorva  the Python client, in Debian's Python path
# The library scan (dpkg-shlibdeps) finds what the programs and the library
# link; what the display loads at run time without linking it is named
# here: the Qt platform plug-ins (X11 and Wayland), the SVG plug-in for its
# icon, and the fonts it draws with.
#
# The maintainer and its address: the one place that names them.
set(ZORVA_MAINTAINER "ZORVA developers <zorva@example.org>")

set(CPACK_PACKAGE_NAME zorva)
set(CPACK_PACKAGE_VENDOR "ZORVA developers")
set(CPACK_PACKAGE_CONTACT "${ZORVA_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs library development python)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE zorva)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shlibs file of the package with the shared library (libzorva1): a
# program built against this version needs it or a later one.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME zorva)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-wayland, libqt6svg6, fonts-dejavu-core, fonts-liberation2")
set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION
 "display for the ZORVA 2-D graphics library
zorvad follows a command file that a client program appends drawing
requests to, and shows them in a window. zorva-render draws such a file
without a screen, as PNG, SVG or PDF pictures or as a trace of its
drawing calls.")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libzorva1)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_RECOMMENDS zorva)
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION
 "client library of the ZORVA display
libzorva writes drawing requests into a command file and starts the
ZORVA display, zorvad, to show them. Its API is in C.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libzorva-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libzorva1 (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
 "development files of the ZORVA client library
Headers, the static library, the CMake package (find_package(Zorva)),
the pkg-config file and the manual page zorva(3) of libzorva, the
library that draws in a ZORVA display.")

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-zorva)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3:any, zorva")
set(CPACK_COMPONENT_PYTHON_DESCRIPTION
 "Python client of the ZORVA display
The zorva module writes drawing requests into a command file and starts
the ZORVA display, zorvad, to show them. Pure Python, standard library
only.")

# The loader's cache is renewed by trigger when the library comes or goes.
# CPack also gives a package with a shared library maintainer scripts that
# run ldconfig themselves, which Debian's policy leaves to the trigger: they
# are taken out of the built package again.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/cmake/debian/triggers)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/debian/DropLdconfigScripts.cmake)

# The Python package goes only into its Debian package: an install into a
# prefix leaves Python to a venv (README).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/clients/python/src/zorva DESTINATION lib/python3/dist-packages
        COMPONENT python EXCLUDE_FROM_ALL PATTERN __pycache__ EXCLUDE)

# Every package carries the copyright file, built from LICENSE, and the
# compressed change log. `cmake --install` puts them in zorva's
# documentation folder; the other packages get their own copies.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE zorva_license)
string(REGEX REPLACE "\n+$" "" zorva_license "${zorva_license}")
string(REGEX REPLACE "\n\n" "\n.\n" zorva_license "${zorva_license}")
string(REGEX REPLACE "\n" "\n " zorva_license " ${zorva_license}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/debian/copyright.in ${CMAKE_BINARY_DIR}/debian/copyright @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/cmake/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/debian/changelog > ${CMAKE_BINARY_DIR}/debian/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog)
add_custom_target(zorva_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
set(zorva_doc_files ${CMAKE_BINARY_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${zorva_doc_files} DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT programs)
install(FILES ${zorva_doc_files} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/libzorva1
        COMPONENT library EXCLUDE_FROM_ALL)
install(FILES ${zorva_doc_files} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/libzorva-dev
        COMPONENT development EXCLUDE_FROM_ALL)
install(FILES ${zorva_doc_files} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/python3-zorva
        COMPONENT python EXCLUDE_FROM_ALL)

include(CPack)
