# mingw-i686.cmake - toolchain file for 32-bit Windows, the platform of the
# host application that loads pelk1.dll:
#
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PELK_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Doubles in SSE2 registers, as on 64-bit targets, instead of the x87 unit
# and its 80-bit intermediates: every distance and angle is then computed and
# rounded exactly as in the builds that the tests run.  The host calls the
# hooks with a stack aligned to 4 bytes only, so the module realigns it where
# it needs more.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
