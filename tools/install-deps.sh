#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, unless they
# are all there already (then it does nothing and needs no network).
set -eu
packages="g++ cmake make binutils libgtest-dev libgmock-dev nlohmann-json3-dev libcli11-dev libbenchmark-dev"
# The Windows build: mingw-w64 cross compilers for 32 and 64 bits (with their
# binutils: objdump, dlltool) and wine64 to run the 64-bit build.  Installed
# without the packages they only recommend (wine's desktop parts).
windows_packages="g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 wine64"

missing() {
  for package in "$@"; do
    dpkg -s "$package" >/dev/null 2>&1 || echo "$package"
  done
}
missing_packages=$(missing $packages)
missing_windows_packages=$(missing $windows_packages)
if [ -z "$missing_packages$missing_windows_packages" ]; then
  exit 0
fi
echo "installing:" $missing_packages $missing_windows_packages
export DEBIAN_FRONTEND=noninteractive
apt-get update
if [ -n "$missing_packages" ]; then
  # shellcheck disable=SC2086
  apt-get install -y $missing_packages
fi
if [ -n "$missing_windows_packages" ]; then
  # shellcheck disable=SC2086
  apt-get install -y --no-install-recommends $missing_windows_packages
fi
