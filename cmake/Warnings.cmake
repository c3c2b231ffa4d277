# The warnings of the project's own code; call on every target we own.
# With SX_WERROR (the dev preset and the test command) they are errors; a
# user's build with a newer compiler only shows them. Sanitizer builds keep
# the warnings but not the errors: GCC's instrumented inlining reports false
# positives inside the standard library. The fuzz build (clang) keeps them
# too: it is there to find faults, not warnings.
option(SX_WERROR "Treat the project's warnings as errors (the dev preset and the test command)" OFF)
function(sx_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  if(SX_WERROR AND SX_SANITIZE STREQUAL "" AND NOT SX_FUZZ)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
