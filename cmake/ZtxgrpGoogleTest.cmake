# GoogleTest built from source (Debian's googletest package) with the
# project's own compiler and standard library: for the Windows cross build,
# and for a standard library other than the one Debian's libgtest was built
# with (libc++). Defines GTest::gtest and GTest::gtest_main.
function(ztxgrp_googletest_from_source)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  find_path(ZTXGRP_GTEST_SOURCE CMakeLists.txt PATHS ${CMAKE_SYSTEM_PREFIX_PATH}
            PATH_SUFFIXES src/googletest/googletest NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
            REQUIRED)
  add_subdirectory(${ZTXGRP_GTEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest)  # defined by GoogleTest itself since 1.11
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endfunction()
