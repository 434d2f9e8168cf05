# windows.cmake - the Windows build, included by the top-level CMakeLists.txt
# when a mingw-w64 toolchain file (cmake/mingw-i686.cmake, mingw-x86_64.cmake)
# makes the target Windows:
#
#   pelk1.dll      the module, from the same sources as pelk1.so; it imports
#                  the host's names from VARNOKII.exe and exports
#                  post_dll_set_pp_vars only
#   VARNOKII.exe   the stand-in host with pelk-post's command line, exporting
#                  the host's names and loading pelk1.dll with LoadLibrary
#
# Both link the C and C++ runtimes statically: beside the host and Windows'
# own libraries (kernel32, msvcrt) they need nothing.

# printf and its kin from mingw-w64 rather than msvcrt.dll: they round "%.2f"
# as the C library of the Linux build does, so both write the same digits.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
add_link_options(-static)

# ---- 1. The host's names, from interface/host_api.h -------------------------------
# VARNOKII.def lists every name that the header declares; it makes the import
# library that pelk1.dll links against and the export table of VARNOKII.exe.
set(PELK_HOST_DEF ${CMAKE_BINARY_DIR}/VARNOKII.def)
set(PELK_HOST_IMPORTS ${CMAKE_BINARY_DIR}/libVARNOKII.a)
add_custom_command(OUTPUT ${PELK_HOST_DEF}
  COMMAND ${CMAKE_COMMAND} -DHEADER=${PROJECT_SOURCE_DIR}/interface/host_api.h
          -DOUTPUT=${PELK_HOST_DEF} -P ${PROJECT_SOURCE_DIR}/cmake/host_exports_def.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/interface/host_api.h ${PROJECT_SOURCE_DIR}/cmake/host_exports_def.cmake
  COMMENT "Listing the host's names of interface/host_api.h")
add_custom_command(OUTPUT ${PELK_HOST_IMPORTS}
  COMMAND ${CMAKE_DLLTOOL} --input-def ${PELK_HOST_DEF} --dllname VARNOKII.exe --output-lib ${PELK_HOST_IMPORTS}
  DEPENDS ${PELK_HOST_DEF}
  COMMENT "Making the import library of VARNOKII.exe")
add_custom_target(varnokii_imports DEPENDS ${PELK_HOST_DEF} ${PELK_HOST_IMPORTS})

# ---- 2. The module pelk1.dll --------------------------------------------------------
# From the module's objects (pelk1_objects, the top-level CMakeLists.txt), built
# here with the host's data marked for import.
target_compile_definitions(pelk1_objects PRIVATE PELK_MODULE)
add_library(pelk1 MODULE $<TARGET_OBJECTS:pelk1_objects> ${PROJECT_SOURCE_DIR}/module/plugin/exports.def)
set_target_properties(pelk1 PROPERTIES PREFIX "")
add_dependencies(pelk1 varnokii_imports)
# Host data is imported where the code is marked for it (PELK_HOST_DATA), never
# patched in at load time behind its back.
target_link_options(pelk1 PRIVATE -Wl,--disable-auto-import -Wl,--disable-runtime-pseudo-reloc)
target_link_libraries(pelk1 PRIVATE ${PELK_HOST_IMPORTS})

# ---- 3. The stand-in VARNOKII.exe -----------------------------------------------------
# CLI11 is headers only: the Debian package's headers serve any target.  They
# are reached through a folder of their own, since the whole of /usr/include
# would put the Linux C library's headers in front of Windows'.
option(PELK_STAND_IN_HOST "Build the stand-in VARNOKII.exe beside pelk1.dll" ON)
if(PELK_STAND_IN_HOST)
  set(header_only ${CMAKE_BINARY_DIR}/header-only)
  foreach(header CLI/CLI.hpp)
    get_filename_component(folder ${header} DIRECTORY)
    find_path(PELK_${folder}_INCLUDE ${header} PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    file(MAKE_DIRECTORY ${header_only})
    file(CREATE_LINK ${PELK_${folder}_INCLUDE}/${folder} ${header_only}/${folder} SYMBOLIC)
  endforeach()

  pelk_glob_sources(PELK_STAND_IN_HOST_SOURCES host/*.cpp job/*.cpp cli/*.cpp nc/*.cpp verify/*.cpp plot/*.cpp
                    stats/*.cpp safety/*.cpp view/*.cpp diff/*.cpp)
  add_executable(VARNOKII ${PELK_STAND_IN_HOST_SOURCES})
  pelk_embed_files(VARNOKII view_files ${PELK_VIEW_ASSETS})
  pelk_may_include(VARNOKII PRIVATE interface host job cli nc verify plot stats safety view diff)
  target_include_directories(VARNOKII SYSTEM PRIVATE ${header_only})
  # Exports exactly the names of VARNOKII.def: a name of the header that the
  # stand-in does not define fails the link.
  target_link_options(VARNOKII PRIVATE ${PELK_HOST_DEF})
  set_property(TARGET VARNOKII APPEND PROPERTY LINK_DEPENDS ${PELK_HOST_DEF})
  add_dependencies(VARNOKII varnokii_imports pelk1)
endif()

# ---- 4. Tests -------------------------------------------------------------------------
include(CTest)
if(BUILD_TESTING)
  add_subdirectory(tests/windows)
endif()
