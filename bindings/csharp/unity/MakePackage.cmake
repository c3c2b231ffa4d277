# Makes the Unity package folder com.sxtracker.sdk at install time (cmake -P):
#   package.json, Runtime/ (the binding's sources and their .asmdef),
#   Plugins/x86_64/ (libSXCmdIF.so, and SXCmdIF.dll when the MinGW build has
#   one), Samples~/, and a .meta for every file and folder: Unity ignores
#   files without one in a package it cannot write to, and the plugins'
#   .meta say which editor and player each is for.
# -DPACKAGE=<folder> -DSOURCE=<bindings/csharp> -DGEN=<generated sources>
# -DVERSION=<x.y.z> -DLINUX_SO=<libSXCmdIF.so.N> -DWINDOWS_DLL=<SXCmdIF.dll>
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${PACKAGE}")
file(MAKE_DIRECTORY "${PACKAGE}/Runtime" "${PACKAGE}/Plugins/x86_64")
configure_file("${SOURCE}/unity/package.json.in" "${PACKAGE}/package.json" @ONLY)

file(GLOB runtime "${SOURCE}/src/*.cs")
file(COPY ${runtime} "${GEN}/Native.g.cs" "${GEN}/Tables.g.cs" "${SOURCE}/unity/Runtime/SXCmdIF.Net.asmdef"
     DESTINATION "${PACKAGE}/Runtime")
file(COPY "${SOURCE}/unity/Samples~" DESTINATION "${PACKAGE}")
# The library under the name the runtime probes; its own dependency,
# libusb-1.0, is the system's.
file(COPY_FILE "${LINUX_SO}" "${PACKAGE}/Plugins/x86_64/libSXCmdIF.so")
if(EXISTS "${WINDOWS_DLL}")
  file(COPY_FILE "${WINDOWS_DLL}" "${PACKAGE}/Plugins/x86_64/SXCmdIF.dll")
else()
  message(STATUS "Unity package: no ${WINDOWS_DLL} (build build-windows first): Linux only")
endif()

# A GUID that stays the same from one install to the next.
function(guid out rel)
  string(MD5 h "com.sxtracker.sdk/${rel}")
  set(${out} ${h} PARENT_SCOPE)
endfunction()

function(write_meta path importer)
  file(RELATIVE_PATH rel "${PACKAGE}" "${path}")
  guid(GUID "${rel}")
  if(importer STREQUAL "folder")
    file(WRITE "${path}.meta" "fileFormatVersion: 2\nguid: ${GUID}\nfolderAsset: yes\nDefaultImporter:\n  externalObjects: {}\n  userData: \n  assetBundleName: \n  assetBundleVariant: \n")
  elseif(importer MATCHES "\\.in$")
    configure_file("${importer}" "${path}.meta" @ONLY)
  else()
    set(extra "")
    if(importer STREQUAL "MonoImporter")
      set(extra "  serializedVersion: 2\n  defaultReferences: []\n  executionOrder: 0\n  icon: {instanceID: 0}\n")
    endif()
    file(WRITE "${path}.meta" "fileFormatVersion: 2\nguid: ${GUID}\n${importer}:\n  externalObjects: {}\n${extra}  userData: \n  assetBundleName: \n  assetBundleVariant: \n")
  endif()
endfunction()

file(GLOB_RECURSE entries LIST_DIRECTORIES true "${PACKAGE}/*")
foreach(e ${entries})
  if(e MATCHES "/Samples~$")
    continue() # hidden from Unity: no .meta for the folder itself
  endif()
  if(IS_DIRECTORY "${e}")
    write_meta("${e}" folder)
  elseif(e MATCHES "\\.cs$")
    write_meta("${e}" MonoImporter)
  elseif(e MATCHES "\\.asmdef$")
    write_meta("${e}" AssemblyDefinitionImporter)
  elseif(e MATCHES "/package\\.json$")
    write_meta("${e}" PackageManifestImporter)
  elseif(e MATCHES "\\.so$")
    write_meta("${e}" "${SOURCE}/unity/Plugins/linux.meta.in")
  elseif(e MATCHES "\\.dll$")
    write_meta("${e}" "${SOURCE}/unity/Plugins/windows.meta.in")
  else()
    write_meta("${e}" TextScriptImporter)
  endif()
endforeach()
