#!/usr/bin/env bash
# Installs the build into a fresh prefix and runs the installed pelk-post
# without --module and without PELK_MODULE: it must find the installed module
# from its own folder, also after the whole tree was moved, and write the same
# program as the build tree.  Usage: install_check.sh BUILD_DIR JOB
set -eu
build=$1 job=$2
export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/first" > /dev/null
"$build/pelk-post" --module "$build/pelk1.so" -o "$work/expected.nc" "$job"
for prefix in "$work/first" "$work/moved"; do
  [ -d "$prefix" ] || mv "$work/first" "$prefix"
  if ! env -u PELK_MODULE "$prefix/bin/pelk-post" -o "$work/out.nc" "$job"; then
    echo "the installed pelk-post in $prefix failed"
    exit 1
  fi
  if ! cmp -s "$work/expected.nc" "$work/out.nc"; then
    echo "the installed pelk-post in $prefix wrote another program"
    exit 1
  fi
done
