# The Debian packages (CPack's DEB generator), split as Debian splits a
# program from its library: ztxgrp, the command with its manual page and
# bash completion, depending on runtime libraries alone; libztxgrp-dev, the
# static libraries, headers and CMake package files, depending on the -dev
# packages a program built with them links. Each carries the copyright
# file and changelog that Debian asks for.
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
foreach(component_package IN ITEMS "command;ztxgrp" "development;libztxgrp-dev")
  list(GET component_package 0 component)
  list(GET component_package 1 package)
  install(FILES ${debian_doc}/copyright ${debian_doc}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL command development)
set(CPACK_PACKAGE_NAME ztxgrp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Each package's description begins with its own summary line.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_PACKAGE_CONTACT "ztxgrp maintainers <maintainers@users.noreply.c-seed-283c4bf7.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ztxgrp.invalid/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_COMMAND_PACKAGE_NAME ztxgrp)
set(CPACK_DEBIAN_COMMAND_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_COMMAND_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMMAND_DESCRIPTION
    "item designators to compact ranges and back; parts lists\n\
ztxgrp turns lists of item designators (R1, R2, R3, C2) into compact range\n\
notation (C2, R1-R3) and back, and collapses, expands and compares\n\
parts-list CSV files and workbooks. This package holds the ztxgrp\n\
command, its manual page and its bash completion.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libztxgrp-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# The library is static: a program built with it links libcsv and the
# workbook libraries too.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "libcsv-dev, libminizip-dev, libexpat1-dev, libxlsxwriter-dev")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
    "item designators to compact ranges and back; C++ library\n\
ztxgrp turns lists of item designators (R1, R2, R3, C2) into compact range\n\
notation (C2, R1-R3) and back, and collapses, expands and compares\n\
parts-list CSV files and workbooks. This package holds the static C++\n\
libraries, their headers and the CMake package files for\n\
find_package(ztxgrp).")
include(CPack)
