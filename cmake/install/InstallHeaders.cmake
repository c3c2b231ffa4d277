# Installs every header that SXCmdIF/SXCmdIF.h or SXserIO/SXserIO.h pulls in
# from the source tree, keeping its path below the source root.
include("${SX_SOURCE_ROOT}/cmake/PublicHeaders.cmake")
sx_public_headers(headers "${SX_CXX}" "${SX_SOURCE_ROOT}")
foreach(header ${headers})
  file(RELATIVE_PATH rel "${SX_SOURCE_ROOT}" "${header}")
  get_filename_component(dir "${rel}" DIRECTORY)
  file(INSTALL "${header}" DESTINATION "${SX_INCLUDE_DEST}/${dir}")
endforeach()
