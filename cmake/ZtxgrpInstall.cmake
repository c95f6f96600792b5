# Installation and the package configuration for find_package(ztxgrp): the
# libraries, headers and CMake files are the component "development" (the
# Debian package libztxgrp-dev); the command's files are "command".
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS ztxgrp_engine ztxgrp_component ztxgrp_parts ${ZTXGRP_LIBCSV_INSTALL}
        ${ZTXGRP_WORKBOOK_INSTALL} EXPORT ztxgrpTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT development
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/engine/include/ ${PROJECT_SOURCE_DIR}/component/include/
                  ${PROJECT_SOURCE_DIR}/parts/include/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
install(EXPORT ztxgrpTargets NAMESPACE ztxgrp:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ztxgrp
        COMPONENT development)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ztxgrpConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/ztxgrpConfig.cmake
                              INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ztxgrp)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ztxgrpConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ztxgrpConfig.cmake ${PROJECT_BINARY_DIR}/ztxgrpConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ztxgrp COMPONENT development)
if(NOT ZTXGRP_PACKAGE)
  # A Debian package carries the licence in its copyright file instead.
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT development)
endif()
