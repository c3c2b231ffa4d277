# sx_export_interface(target map): a shared library of ours exports exactly
# its interface. On Linux: the symbol list cmake/<map> and the SONAME. On
# Windows: what the headers mark for export, the DLL named as on Windows
# (SXCmdIF.dll) with its MinGW import library (libSXCmdIF.dll.a), and a .def
# file of its exports, from which an MSVC application makes its own import
# library (lib /def:).
function(sx_export_interface target map)
  if(WIN32)
    set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
    target_link_options(${target} PRIVATE -Wl,--output-def,${def})
    set_target_properties(${target} PROPERTIES PREFIX "")
    set_property(TARGET ${target} APPEND PROPERTY ADDITIONAL_CLEAN_FILES ${def})
  else()
    target_link_options(${target} PRIVATE ${SX_NO_UNDEFINED} -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/${map})
    set_target_properties(${target} PROPERTIES
      VERSION ${PROJECT_VERSION} SOVERSION 0
      LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/${map})
  endif()
endfunction()
