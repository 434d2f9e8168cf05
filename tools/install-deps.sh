#!/usr/bin/env bash
# install-deps.sh [tool|package|tests]
#
# Installs the Debian packages that one use of the project needs, unless they
# are all there already (then it does nothing and needs no network):
#   tool     building pelk-post and the module, and running them (the default)
#   package  besides: making the Debian package (cpack -G DEB)
#   tests    everything the test command needs besides: test libraries, the
#            package's tools, the Windows cross compilers and wine64, and the
#            tools of later checks
# Every package is named here once.
set -eu
set_name=${1:-tool}

# Building and running pelk-post and pelk1.so.
tool_packages="g++ cmake make libcli11-dev"
# python3-jsonschema, 4.10 on Debian 12, knows JSON Schema 2020-12 and checks
# docs/job.schema.json; locales has the German locale that run-tests.sh
# generates for the test of a comma-decimal locale).  The plot's check:
# rsvg-convert renders the SVG; python3 parses it and the PNG.  clang with
# libFuzzer and its sanitizer runtimes (libclang-rt-14-dev) for the fuzz
# targets.
# The page of pelk-post view is tested in a real browser: Debian's Chromium,
# its driver and python3-selenium (run with Debian's own /usr/bin/python3).
test_packages="binutils libgtest-dev libgmock-dev nlohmann-json3-dev libbenchmark-dev python3-jsonschema locales librsvg2-bin python3 clang libclang-rt-14-dev chromium chromium-driver python3-selenium"
# The Debian package (cpack -G DEB): help2man makes the man page from
# pelk-post --help, dpkg-dev finds the package's dependencies.
package_packages="help2man dpkg-dev"
# The Windows build: mingw-w64 cross compilers for 32 and 64 bits (with their
# binutils: objdump, dlltool) and wine64 to run the 64-bit build.  Installed
# without the packages they only recommend (wine's desktop parts).
windows_packages="g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 wine64"

case "$set_name" in
  tool) wanted="$tool_packages"; wanted_plain="" ;;
  package) wanted="$tool_packages $package_packages"; wanted_plain="" ;;
  tests) wanted="$tool_packages $test_packages $package_packages"; wanted_plain="$windows_packages" ;;
  *) echo "install-deps.sh: unknown set '$set_name' (tool, package or tests)" >&2; exit 2 ;;
esac

missing() {
  for package in "$@"; do
    dpkg -s "$package" >/dev/null 2>&1 || echo "$package"
  done
}
# shellcheck disable=SC2086
missing_packages=$(missing $wanted)
# shellcheck disable=SC2086
missing_plain_packages=$(missing $wanted_plain)
if [ -z "$missing_packages$missing_plain_packages" ]; then
  exit 0
fi
echo "installing:" $missing_packages $missing_plain_packages
export DEBIAN_FRONTEND=noninteractive
apt-get update
if [ -n "$missing_packages" ]; then
  # shellcheck disable=SC2086
  apt-get install -y $missing_packages
fi
if [ -n "$missing_plain_packages" ]; then
  # shellcheck disable=SC2086
  apt-get install -y --no-install-recommends $missing_plain_packages
fi
