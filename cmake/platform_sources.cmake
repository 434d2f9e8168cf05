# platform_sources.cmake - pelk_glob_sources(<variable> <glob>...): the
# sources that match the globs, less those of the other platform.  A file
# whose name ends in _windows.cpp is built for Windows only, one that ends in
# _posix.cpp everywhere else.
function(pelk_glob_sources variable)
  file(GLOB found CONFIGURE_DEPENDS ${ARGN})
  if(WIN32)
    list(FILTER found EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER found EXCLUDE REGEX "_windows\\.cpp$")
  endif()
  set(${variable} ${found} PARENT_SCOPE)
endfunction()
