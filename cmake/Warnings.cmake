# Warnings as errors for the project's own code; call on every target we own.
function(sx_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter)
endfunction()
