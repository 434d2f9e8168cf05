#!/usr/bin/env bash
# Runs pelk-post on a golden case and compares the NC program byte for byte
# with the expected one.  Usage: check_golden.sh PELK_POST MODULE CASE_DIR
set -u
post=$1 module=$2 case_dir=$3
export LC_ALL=C
out=$(mktemp)
trap 'rm -f "$out" "$out.diff"' EXIT
if ! "$post" --module "$module" -o "$out" "$case_dir/job.json"; then
  echo "pelk-post failed on $case_dir/job.json"
  exit 1
fi
if cmp -s "$out" "$case_dir/expected.nc"; then
  exit 0
fi
echo "NC program differs from $case_dir/expected.nc (line ends shown as \\r):"
diff -u <(sed 's/\r$/\\r/' "$case_dir/expected.nc") <(sed 's/\r$/\\r/' "$out") > "$out.diff"
head -n 40 "$out.diff"
exit 1
