# Warnings as errors for the project's own code; call on every target we own.
# Sanitizer builds keep the warnings but not the errors: GCC's instrumented
# inlining reports false positives inside the standard library. The fuzz
# build (clang) keeps them too: it is there to find faults, not warnings.
function(sx_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  if(SX_SANITIZE STREQUAL "" AND NOT SX_FUZZ)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
