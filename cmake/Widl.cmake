# Compiles an IDL file with widl into a C header, the interface identifiers
# and a normalised type library (no tool stamp, unnamed parameters unnamed).
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(ZTXGRP_WINE_INCLUDE /usr/include/wine/wine/windows CACHE PATH "Wine's IDL files")
set(ZTXGRP_STDOLE_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH "stdole2.tlb")

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
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../component/com/normalize_tlb.py
            ${raw} ${tlb}
    DEPENDS ${idl} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../component/com/normalize_tlb.py
    COMMENT "widl ${name}.idl"
    VERBATIM)
endfunction()
