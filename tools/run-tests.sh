#!/usr/bin/env bash
# Builds and runs every test twice: a plain build, then a build with
# AddressSanitizer and UndefinedBehaviorSanitizer; then the fuzz targets,
# 45 s each (tools/run-fuzzers.sh); then the Windows builds and their
# checks (tools/run-windows-tests.sh).
set -eu
cd "$(dirname "$0")/.."
export LC_ALL=C
# The module and the host must write the same program whatever locale a host
# sets; a test runs a job under de_DE.UTF-8 (decimal comma).  Generated once.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "== generating the locale de_DE.UTF-8"
  if ! localedef -i de_DE -f UTF-8 de_DE.UTF-8; then
    echo "run-tests.sh: cannot generate de_DE.UTF-8 (as root: localedef -i de_DE -f UTF-8 de_DE.UTF-8)" >&2
    exit 1
  fi
fi
for variant in build build-asan; do
  options=""
  if [ "$variant" = build-asan ]; then
    options="-DPELK_SANITIZE=ON"
  fi
  echo "== $variant"
  # shellcheck disable=SC2086
  cmake -S . -B "$variant" -DBUILD_TESTING=ON $options
  cmake --build "$variant" -j2
  ctest --test-dir "$variant" --output-on-failure -j2
done
bash tools/run-fuzzers.sh
bash tools/run-windows-tests.sh
