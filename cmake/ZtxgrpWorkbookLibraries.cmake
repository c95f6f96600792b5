# The libraries that read and write workbooks, as targets:
#   ztxgrp_minizip      minizip (reading the archive; zlib below it)
#   ztxgrp_expat        expat (the XML of the sheets)
#   ztxgrp_xlsxwriter   libxlsxwriter (writing workbooks)
# Native builds use Debian's packages (libminizip-dev, libexpat1-dev,
# libxlsxwriter-dev); the Windows and WebAssembly builds compile them from
# the Debian source packages that `scripts/setup --windows` or `--web`
# unpacks into .deps/ (zlib with its contrib/minizip, expat, libxlsxwriter).
if(TARGET ztxgrp_xlsxwriter)
  return()
endif()

if(WIN32 OR EMSCRIPTEN)
  set(ZTXGRP_DEPS ${PROJECT_SOURCE_DIR}/.deps CACHE PATH
      "the unpacked source packages, as scripts/setup --windows or --web fetches them")
  foreach(needed zlib/zlib.h zlib/contrib/minizip/unzip.c expat/expat/lib/xmlparse.c
                 libxlsxwriter/src/workbook.c)
    if(NOT EXISTS ${ZTXGRP_DEPS}/${needed})
      message(FATAL_ERROR "${ZTXGRP_DEPS}/${needed} is missing: run scripts/setup --windows or --web")
    endif()
  endforeach()
  enable_language(C)
  set(zlib ${ZTXGRP_DEPS}/zlib)
  set(expat ${ZTXGRP_DEPS}/expat/expat)
  set(xlsxwriter ${ZTXGRP_DEPS}/libxlsxwriter)

  # Callbacks of ours run inside these libraries: in WebAssembly every
  # object shares one exception model.
  function(ztxgrp_c_dependency target)
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON C_STANDARD 99)
    target_compile_options(${target} PRIVATE -w)
    if(EMSCRIPTEN)
      target_compile_options(${target} PRIVATE -fwasm-exceptions)
    endif()
  endfunction()

  add_library(ztxgrp_zlib STATIC
    ${zlib}/adler32.c ${zlib}/compress.c ${zlib}/crc32.c ${zlib}/deflate.c ${zlib}/infback.c
    ${zlib}/inffast.c ${zlib}/inflate.c ${zlib}/inftrees.c ${zlib}/trees.c ${zlib}/uncompr.c
    ${zlib}/zutil.c)
  target_include_directories(ztxgrp_zlib SYSTEM PUBLIC $<BUILD_INTERFACE:${zlib}>)
  ztxgrp_c_dependency(ztxgrp_zlib)

  add_library(ztxgrp_minizip STATIC ${zlib}/contrib/minizip/ioapi.c
                                    ${zlib}/contrib/minizip/unzip.c ${zlib}/contrib/minizip/zip.c)
  # <minizip/unzip.h> as Debian installs it, and minizip's own includes.
  target_include_directories(ztxgrp_minizip SYSTEM PUBLIC
    $<BUILD_INTERFACE:${zlib}/contrib> $<BUILD_INTERFACE:${zlib}/contrib/minizip>)
  target_compile_definitions(ztxgrp_minizip PRIVATE NOCRYPT NOUNCRYPT IOAPI_NO_64)
  target_link_libraries(ztxgrp_minizip PUBLIC ztxgrp_zlib)
  ztxgrp_c_dependency(ztxgrp_minizip)

  set(config ${CMAKE_CURRENT_BINARY_DIR}/expat-config)
  file(MAKE_DIRECTORY ${config})
  set(entropy "")
  if(EMSCRIPTEN)
    # No entropy source expat knows of; the parser refuses every document
    # type declaration, so no hash-flooding DTD reaches it.
    set(entropy "#define XML_POOR_ENTROPY 1\n")
  endif()
  file(WRITE ${config}/expat_config.h.new
       "#define BYTEORDER 1234\n#define HAVE_MEMMOVE 1\n#define XML_CONTEXT_BYTES 1024\n"
       "#define XML_DTD 1\n#define XML_NS 1\n${entropy}")
  configure_file(${config}/expat_config.h.new ${config}/expat_config.h COPYONLY)
  add_library(ztxgrp_expat STATIC ${expat}/lib/xmlparse.c ${expat}/lib/xmlrole.c
                                  ${expat}/lib/xmltok.c)
  target_include_directories(ztxgrp_expat SYSTEM PUBLIC $<BUILD_INTERFACE:${expat}/lib>)
  target_include_directories(ztxgrp_expat PRIVATE ${config})
  target_compile_definitions(ztxgrp_expat PUBLIC XML_STATIC)
  ztxgrp_c_dependency(ztxgrp_expat)

  file(GLOB xlsxwriter_sources ${xlsxwriter}/src/*.c)
  add_library(ztxgrp_xlsxwriter STATIC ${xlsxwriter_sources}
    ${xlsxwriter}/third_party/tmpfileplus/tmpfileplus.c ${xlsxwriter}/third_party/md5/md5.c)
  target_include_directories(ztxgrp_xlsxwriter SYSTEM PUBLIC $<BUILD_INTERFACE:${xlsxwriter}/include>)
  target_compile_definitions(ztxgrp_xlsxwriter PRIVATE USE_SYSTEM_MINIZIP)
  target_link_libraries(ztxgrp_xlsxwriter PUBLIC ztxgrp_minizip)
  ztxgrp_c_dependency(ztxgrp_xlsxwriter)
  set(ZTXGRP_WORKBOOK_INSTALL ztxgrp_zlib ztxgrp_minizip ztxgrp_expat ztxgrp_xlsxwriter)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(ZTXGRP_MINIZIP REQUIRED IMPORTED_TARGET minizip)
  pkg_check_modules(ZTXGRP_EXPAT REQUIRED IMPORTED_TARGET expat)
  pkg_check_modules(ZTXGRP_XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
  foreach(library minizip expat xlsxwriter)
    string(TOUPPER ${library} upper)
    add_library(ztxgrp_${library} INTERFACE)
    target_link_libraries(ztxgrp_${library} INTERFACE $<BUILD_INTERFACE:PkgConfig::ZTXGRP_${upper}>
                                                      $<INSTALL_INTERFACE:${library}>)
  endforeach()
  set(ZTXGRP_WORKBOOK_INSTALL ztxgrp_minizip ztxgrp_expat ztxgrp_xlsxwriter)
endif()
