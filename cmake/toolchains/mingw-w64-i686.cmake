# 32-bit Windows; the shared settings are in mingw-w64.cmake.
set(ZTXGRP_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
