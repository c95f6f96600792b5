# Compiles an IDL file with widl into a C header, the interface identifiers
# and a normalised type library (no tool stamp, unnamed parameters unnamed).
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# Wine's IDL files and its stdole2.tlb are host files: searched outside the
# cross toolchain's root.
find_path(ZTXGRP_WINE_INCLUDE oaidl.idl PATH_SUFFIXES wine/wine/windows wine/windows
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(ZTXGRP_STDOLE_DIR stdole2.tlb PATHS ${CMAKE_SYSTEM_PREFIX_PATH}
          PATH_SUFFIXES lib/x86_64-linux-gnu/wine/x86_64-windows lib64/wine/x86_64-windows
                        lib/wine/x86_64-windows
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

function(ztxgrp_widl idl out_dir)
  get_filename_component(name ${idl} NAME_WE)
  set(header ${out_dir}/${name}.h)
  set(iids ${out_dir}/${name}_i.c)
  set(raw ${out_dir}/${name}.widl.tlb)
  set(tlb ${out_dir}/${name}.tlb)
  set(widl ${ZTXGRP_WIDL} ${ZTXGRP_WIDL_FLAGS} -I ${ZTXGRP_WINE_INCLUDE} -L ${ZTXGRP_STDOLE_DIR})
  add_custom_command(
    OUTPUT ${header} ${iids} ${tlb}
    COMMAND ${widl} -h -o ${header} ${idl}
    COMMAND ${widl} -u -o ${iids} ${idl}
    COMMAND ${widl} -t -o ${raw} ${idl}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../com/normalize_tlb.py
            ${raw} ${tlb}
    DEPENDS ${idl} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../com/normalize_tlb.py
    COMMENT "widl ${name}.idl"
    VERBATIM)
endfunction()
