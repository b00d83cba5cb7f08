# Our own targets call quittung_warnings(); third-party headers are included as system headers.
function(quittung_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wimplicit-fallthrough -Wsuggest-override)
  if(QUITTUNG_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
