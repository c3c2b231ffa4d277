# sx_line_tables(target): in a RelWithDebInfo build, line tables only (-g1)
# for a target whose full debug information costs more than it gives: the
# test executables and the Python module, whose template-heavy code (the test
# framework, pybind11) compiles in two thirds of the time without it. Line
# tables are what backtraces and the sanitizers' reports need; the libraries
# and the programs keep their full debug information.
function(sx_line_tables target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:RelWithDebInfo>:-g1>)
endfunction()
