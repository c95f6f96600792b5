# libcsv as the target ztxgrp_libcsv: the system's library where Debian's
# libcsv-dev is installed (native builds), else compiled from the source that
# `scripts/setup --windows` or `--web` fetches into .deps/libcsv (Debian's
# source package; the Windows and WebAssembly builds).
if(TARGET ztxgrp_libcsv)
  return()
endif()
if(WIN32 OR EMSCRIPTEN)
  set(ZTXGRP_LIBCSV_SOURCE ${PROJECT_SOURCE_DIR}/.deps/libcsv CACHE PATH
      "libcsv's source (libcsv.c, csv.h), as scripts/setup --windows or --web fetches it")
  if(NOT EXISTS ${ZTXGRP_LIBCSV_SOURCE}/libcsv.c)
    message(FATAL_ERROR "libcsv's source is not in ${ZTXGRP_LIBCSV_SOURCE}: run scripts/setup --windows or --web")
  endif()
  enable_language(C)
  add_library(ztxgrp_libcsv STATIC ${ZTXGRP_LIBCSV_SOURCE}/libcsv.c)
  target_include_directories(ztxgrp_libcsv SYSTEM PUBLIC
                             $<BUILD_INTERFACE:${ZTXGRP_LIBCSV_SOURCE}>)
  if(EMSCRIPTEN)
    target_compile_options(ztxgrp_libcsv PRIVATE -fwasm-exceptions)
  endif()
  set(ZTXGRP_LIBCSV_INSTALL ztxgrp_libcsv)
else()
  # libcsv ships neither a CMake package nor a pkg-config file.
  find_path(LIBCSV_INCLUDE_DIR csv.h REQUIRED)
  find_library(LIBCSV_LIBRARY csv REQUIRED)
  add_library(ztxgrp_libcsv INTERFACE)
  target_include_directories(ztxgrp_libcsv SYSTEM INTERFACE $<BUILD_INTERFACE:${LIBCSV_INCLUDE_DIR}>)
  target_link_libraries(ztxgrp_libcsv INTERFACE $<BUILD_INTERFACE:${LIBCSV_LIBRARY}>
                                                $<INSTALL_INTERFACE:csv>)
  set(ZTXGRP_LIBCSV_INSTALL ztxgrp_libcsv)
endif()
