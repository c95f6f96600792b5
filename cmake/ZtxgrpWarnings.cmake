# Warnings for the project's own targets.
function(ztxgrp_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${ZTXGRP_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
                           $<$<BOOL:${ZTXGRP_WERROR}>:-Werror>)
  endif()
endfunction()
