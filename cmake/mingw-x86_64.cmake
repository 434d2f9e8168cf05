# mingw-x86_64.cmake - toolchain file for 64-bit Windows.  The host
# application is 32-bit; this build exists so that the stand-in VARNOKII.exe
# and its pelk1.dll run under wine64 on a 64-bit Linux machine:
#
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PELK_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
