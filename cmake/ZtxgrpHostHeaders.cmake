# Header-only libraries for the Windows cross build. CLI11 and nlohmann-json
# are headers only: the build machine's copies are reached through a folder
# of links, so that no other host header is seen by the cross compiler. The
# targets take the names that find_package gives them on a native build.
function(ztxgrp_host_headers)
  if(TARGET ztxgrp_host_headers)
    return()
  endif()
  set(host_headers ${PROJECT_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${host_headers})
  foreach(header CLI/CLI.hpp nlohmann/json.hpp)
    find_path(dir_${header} ${header} PATHS /usr/include /usr/local/include
              NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    get_filename_component(folder ${header} DIRECTORY)
    file(CREATE_LINK ${dir_${header}}/${folder} ${host_headers}/${folder} SYMBOLIC)
  endforeach()
  add_library(ztxgrp_host_headers INTERFACE)
  target_include_directories(ztxgrp_host_headers SYSTEM INTERFACE ${host_headers})
  add_library(CLI11::CLI11 ALIAS ztxgrp_host_headers)
  add_library(nlohmann_json::nlohmann_json ALIAS ztxgrp_host_headers)
endfunction()
