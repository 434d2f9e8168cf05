#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, unless they
# are all there already (then it does nothing and needs no network).
set -eu
packages="g++ cmake make binutils libgtest-dev libgmock-dev nlohmann-json3-dev libcli11-dev libbenchmark-dev"
missing=""
for package in $packages; do
  dpkg -s "$package" >/dev/null 2>&1 || missing="$missing $package"
done
if [ -z "$missing" ]; then
  exit 0
fi
echo "installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update
# shellcheck disable=SC2086
apt-get install -y $missing
