# sx_public_headers(<out> <cxx> <root>): the public headers, those that
# SXCmdIF/SXCmdIF.h or SXserIO/SXserIO.h pull in below <root>, as absolute
# paths. The compiler's preprocessor lists them (nothing is compiled), so the
# installed set, the header check and the API reference take the same files.
# Fewer than five is a broken listing and stops the caller.
function(sx_public_headers out cxx root)
  set(headers "")
  foreach(umbrella SXCmdIF/SXCmdIF.h SXserIO/SXserIO.h)
    execute_process(COMMAND ${cxx} -std=c++17 -x c++ -MM -MT deps -I${root} ${root}/${umbrella}
                    OUTPUT_VARIABLE deps RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "cannot list the headers of ${umbrella}:\n${err}")
    endif()
    string(REGEX REPLACE "\\\\\n" " " deps "${deps}")
    string(REGEX REPLACE "^deps:" "" deps "${deps}")
    separate_arguments(deps UNIX_COMMAND "${deps}")
    foreach(header ${deps})
      get_filename_component(header "${header}" ABSOLUTE BASE_DIR "${root}")
      file(RELATIVE_PATH rel "${root}" "${header}")
      if(NOT rel MATCHES "^\\.\\.")
        list(APPEND headers "${header}")
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES headers)
  list(LENGTH headers count)
  if(count LESS 5)
    message(FATAL_ERROR "too few public headers found: ${headers}")
  endif()
  set(${out} "${headers}" PARENT_SCOPE)
endfunction()
