# mingw-w64.cmake - what the two Windows toolchain files share: Debian's
# mingw-w64 cross compilers (the win32 thread model, which needs no
# threading DLL) for the target triple that the including file names in
# PELK_MINGW_TRIPLE, and a search for libraries and headers in that
# target's own tree only.
set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_C_COMPILER NAMES ${PELK_MINGW_TRIPLE}-gcc-win32 ${PELK_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${PELK_MINGW_TRIPLE}-g++-win32 ${PELK_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${PELK_MINGW_TRIPLE}-windres)
find_program(CMAKE_DLLTOOL NAMES ${PELK_MINGW_TRIPLE}-dlltool REQUIRED)
find_program(CMAKE_OBJDUMP NAMES ${PELK_MINGW_TRIPLE}-objdump REQUIRED)
find_program(CMAKE_NM NAMES ${PELK_MINGW_TRIPLE}-nm REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${PELK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
