#!/usr/bin/env bash
# Runs the program with "-o -" on a golden case: standard output must get the
# NC program byte for byte, its "\r\n" line ends unchanged (a Windows stream
# in text mode would turn them into "\r\r\n").
# Usage: check_standard_output.sh PROGRAM MODULE CASE_DIR
set -u
post=$1 module=$2 case_dir=$3
out=$(mktemp)
trap 'rm -f "$out"' EXIT
if ! "$post" --module "$module" -o - "$case_dir/job.json" >"$out"; then
  echo "the program failed on $case_dir/job.json"
  exit 1
fi
if ! cmp "$out" "$case_dir/expected.nc"; then
  echo "standard output differs from $case_dir/expected.nc"
  exit 1
fi
