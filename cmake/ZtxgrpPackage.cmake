# The Debian package (CPack's DEB generator): the command, the library, its
# headers and CMake package files, the manual page and the bash completion,
# with the copyright file and changelog that Debian asks for.
set(ZTXGRP_COPYRIGHT "2026 ztxgrp maintainers")
set(debian_doc ${PROJECT_BINARY_DIR}/debian-doc)
file(MAKE_DIRECTORY ${debian_doc})
# copyright: the machine-readable form, with the licence's text.
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/copyright.in ${debian_doc}/copyright @ONLY)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(REGEX REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" license_text "${license_text}")
file(APPEND ${debian_doc}/copyright " ${license_text}")
# changelog.gz (a native package's name for it), compressed the
# reproducible way (no name, no time).
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in ${debian_doc}/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${debian_doc}/changelog RESULT_VARIABLE gzip_failed)
if(gzip_failed)
  message(FATAL_ERROR "cannot compress the Debian changelog")
endif()
install(FILES ${debian_doc}/copyright ${debian_doc}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ztxgrp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ztxgrp maintainers <maintainers@users.noreply.c-seed-283c4bf7.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "item designators to compact ranges and back; parts lists")
set(CPACK_PACKAGE_DESCRIPTION
    "ztxgrp turns lists of item designators (R1, R2, R3, C2) into compact range\n\
notation (C2, R1-R3) and back, and collapses, expands and compares\n\
parts-list CSV files and workbooks. This package holds the ztxgrp\n\
command, the C++ library with its headers and CMake package files, the\n\
manual page and the bash completion.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The library is static: a program built with it links libcsv and the
# workbook libraries too.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcsv-dev, libminizip-dev, libexpat1-dev, libxlsxwriter-dev")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ztxgrp.invalid/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
