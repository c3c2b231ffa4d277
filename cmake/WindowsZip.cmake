# What the Windows SDK zip carries beside the libraries, headers, CMake
# package and sxtool.exe (cpack -G ZIP in the Windows build): a README at its
# top (what is in it, the COM port numbering, libusb-1.0.dll), the licence
# when the source tree has one, and the example, built and as source.
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/README.txt ${PROJECT_BINARY_DIR}/README.txt
  NEWLINE_STYLE CRLF @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION . COMPONENT runtime)
foreach(licence LICENSE LICENSE.txt COPYING)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${licence})
    install(FILES ${PROJECT_SOURCE_DIR}/${licence} DESTINATION . RENAME LICENSE.txt COMPONENT runtime)
    break()
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/examples/stream_pno.cpp ${PROJECT_SOURCE_DIR}/examples/CMakeLists.txt
  DESTINATION examples COMPONENT development)
if(TARGET stream_pno)
  install(TARGETS stream_pno RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
endif()
