# Debian packages from a build: `cpack -G DEB` in the build folder makes one
# package per install component.
#   libsxcmdif0     the shared libraries and the udev rule
#   libsxcmdif-dev  headers, CMake package, pkg-config files
#   sxcmdif-tools   sxtool and sxsim
#   python3-sxcmdif the Python module (when it is built)
set(CPACK_PACKAGE_NAME sxcmdif)
set(CPACK_PACKAGE_VENDOR "SXCmdIF")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Host SDK of the electromagnetic motion tracker")
set(CPACK_PACKAGE_CONTACT "SXCmdIF maintainers <sxcmdif@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The Windows build makes the SDK zip instead (cpack -G ZIP): bin, lib,
# include and the CMake package at the top of the archive, with a README,
# the example and its source (cmake/WindowsZip.cmake).
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsZip.cmake)
  set(CPACK_STRIP_FILES ON)
else()
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()
set(CPACK_COMPONENTS_ALL runtime development tools)
if(SX_PYTHON_PACKAGE_DEPENDS)
  list(APPEND CPACK_COMPONENTS_ALL python)
endif()
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libsxcmdif0)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libusb-1.0-0 (>= 2:1.0.26)")
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "Host SDK of the electromagnetic motion tracker: shared libraries and udev rule")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libsxcmdif-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libsxcmdif0 (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "Host SDK of the electromagnetic motion tracker: headers, CMake package, pkg-config")
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME sxcmdif-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "libsxcmdif0 (= ${PROJECT_VERSION}), libusb-1.0-0 (>= 2:1.0.26)")
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "Host SDK of the electromagnetic motion tracker: sxtool and the simulated tracker sxsim")
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-sxcmdif)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "libsxcmdif0 (= ${PROJECT_VERSION}), ${SX_PYTHON_PACKAGE_DEPENDS}")
set(CPACK_DEBIAN_PYTHON_DESCRIPTION "Host SDK of the electromagnetic motion tracker: the Python module sxcmdif")
include(CPack)
