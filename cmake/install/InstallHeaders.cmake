# Installs every header that SXCmdIF/SXCmdIF.h or SXserIO/SXserIO.h pulls in
# from the source tree, keeping its path below the source root.
foreach(umbrella SXCmdIF/SXCmdIF.h SXserIO/SXserIO.h)
  execute_process(
    COMMAND ${SX_CXX} -std=c++17 -x c++ -MM -MT deps -I${SX_SOURCE_ROOT} ${SX_SOURCE_ROOT}/${umbrella}
    OUTPUT_VARIABLE deps RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cannot list the headers of ${umbrella}")
  endif()
  string(REGEX REPLACE "\\\\\n" " " deps "${deps}")
  string(REGEX REPLACE "^deps:" "" deps "${deps}")
  separate_arguments(deps UNIX_COMMAND "${deps}")
  foreach(header ${deps})
    get_filename_component(header "${header}" ABSOLUTE)
    file(RELATIVE_PATH rel "${SX_SOURCE_ROOT}" "${header}")
    if(rel MATCHES "^\\.\\.")
      continue()
    endif()
    get_filename_component(dir "${rel}" DIRECTORY)
    file(INSTALL "${header}" DESTINATION "${SX_INCLUDE_DEST}/${dir}")
  endforeach()
endforeach()
