# Every public header (those the umbrella headers pull in) compiles on its
# own under -Wall -Wextra -Werror, in C++17 and C++20; those that say they
# compile as C ("compiles as C and as C++" in their text) also in C99 and
# C17 under -pedantic.
include(${ROOT}/cmake/PublicHeaders.cmake)
sx_public_headers(headers ${ROOT})
list(TRANSFORM SX_PUBLIC_INCLUDE_DIRS PREPEND -I OUTPUT_VARIABLE includes)
list(LENGTH headers count)
# A C translation unit may not be empty: the header comes with -include.
set(c_unit ${WORK}/header_check.c)
file(WRITE ${c_unit} "typedef int sx_header_check_unit;\n")
set(c_count 0)
foreach(header ${headers})
  file(RELATIVE_PATH rel ${ROOT} ${header})
  foreach(std c++17 c++20)
    execute_process(COMMAND ${CXX} -std=${std} -Wall -Wextra -Werror -fsyntax-only -x c++ ${includes}
                            -include ${header} /dev/null
                    WORKING_DIRECTORY ${ROOT} RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${rel} does not compile on its own (${std}):\n${err}")
    endif()
  endforeach()
  file(READ ${header} text)
  if(NOT text MATCHES "compiles as C and as C\\+\\+")
    continue()
  endif()
  math(EXPR c_count "${c_count} + 1")
  foreach(std c99 c17)
    execute_process(COMMAND ${CC} -std=${std} -Wall -Wextra -Werror -pedantic -fsyntax-only -x c ${includes}
                            -include ${header} ${c_unit}
                    WORKING_DIRECTORY ${ROOT} RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${rel} says it compiles as C but does not on its own (${std}):\n${err}")
    endif()
  endforeach()
endforeach()
# The C interface: the definitions, error codes and texts, the library,
# device, frame-trace and trace functions.
if(c_count LESS 7)
  message(FATAL_ERROR "only ${c_count} public headers say they compile as C; expected at least 7")
endif()
message(STATUS "${count} public headers compile on their own, ${c_count} of them also as C")
