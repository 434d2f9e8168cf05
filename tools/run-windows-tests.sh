#!/usr/bin/env bash
# Builds pelk1.dll for 32-bit Windows and checks its tables (build-win32), then
# builds pelk1.dll and the stand-in VARNOKII.exe for 64-bit Windows, checks
# the tables again and runs the golden jobs under wine64 (build-win64).
set -eu
cd "$(dirname "$0")/.."
export LC_ALL=C
for variant in build-win32 build-win64; do
  if [ "$variant" = build-win32 ]; then
    # No 32-bit Windows program runs here: the module alone.
    options="-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DPELK_STAND_IN_HOST=OFF"
  else
    options="-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake"
  fi
  echo "== $variant"
  # shellcheck disable=SC2086
  cmake -S . -B "$variant" $options
  cmake --build "$variant" -j2
  ctest --test-dir "$variant" --output-on-failure -j2
done
