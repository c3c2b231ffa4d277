# Writes the demangled dynamic symbols libSXCmdIF defines (nm -D) to OUT.
execute_process(COMMAND nm -D --defined-only -C ${LIB} OUTPUT_FILE ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIB}")
endif()
