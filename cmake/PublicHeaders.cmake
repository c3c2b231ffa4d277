# The public interface's folders (SX_PUBLIC_INCLUDE_DIRS, below <root>) and
# sx_public_headers(<out> <root>): every header in them, as absolute paths.
# They are exactly what is installed (the libraries' FILE_SETs), so the
# header check, the API reference and the C# binding's generator take the
# same files. Fewer than five is a broken listing and stops the caller.
set(SX_PUBLIC_INCLUDE_SUBDIRS wire/include SXserIO/include SXCmdIF/include)
function(sx_public_headers out root)
  set(headers "")
  set(dirs "")
  foreach(sub ${SX_PUBLIC_INCLUDE_SUBDIRS})
    file(GLOB_RECURSE found "${root}/${sub}/*.h")
    list(SORT found)
    list(APPEND headers ${found})
    list(APPEND dirs "${root}/${sub}")
  endforeach()
  list(LENGTH headers count)
  if(count LESS 5)
    message(FATAL_ERROR "too few public headers found: ${headers}")
  endif()
  set(${out} "${headers}" PARENT_SCOPE)
  set(SX_PUBLIC_INCLUDE_DIRS "${dirs}" PARENT_SCOPE)
endfunction()
