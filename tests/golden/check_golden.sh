#!/usr/bin/env bash
# Runs pelk-post on a golden case and compares the NC program byte for byte
# with the expected one, which must then verify against its job (pelk-post
# verify).  Usage: check_golden.sh PELK_POST MODULE CASE_DIR
#
# A case whose run shows warnings holds them in expected.warnings, as
# pelk-post shows them on standard error; the run must then end with exit
# status 3 (written, with warnings).  Without that file the run must end with
# 0 and show nothing.
set -u
post=$1 module=$2 case_dir=$3
export LC_ALL=C
out=$(mktemp)
trap 'rm -f "$out" "$out.err" "$out.diff" "$out.verify" "$out.verify-err"' EXIT
"$post" --module "$module" -o "$out" "$case_dir/job.json" 2> "$out.err"
status=$?
expected_status=0
expected_warnings=/dev/null
if [ -f "$case_dir/expected.warnings" ]; then
  expected_status=3
  expected_warnings=$case_dir/expected.warnings
fi
if [ "$status" -ne "$expected_status" ]; then
  echo "pelk-post ended with $status on $case_dir/job.json, expected $expected_status:"
  head -n 20 "$out.err"
  exit 1
fi
# The messages name the job's machine directory: shown relative to the case.
if ! diff -u "$expected_warnings" <(sed "s|$case_dir/||g" "$out.err") > "$out.diff"; then
  echo "warnings differ from $expected_warnings:"
  head -n 40 "$out.diff"
  exit 1
fi
if cmp -s "$out" "$case_dir/expected.nc"; then
  # Read back, the program does what its job says, with the warnings the post
  # gave (exit status 3 then); a case that holds expected.verify holds what
  # verify says as well, paths relative to the case: its warnings, then its
  # verdict (taken apart, since a wrapper such as wine's may hand standard
  # error on only after the run).
  "$post" verify "$case_dir/job.json" "$case_dir/expected.nc" > "$out.verify" 2> "$out.verify-err"
  verify_status=$?
  cat "$out.verify" >> "$out.verify-err"
  mv "$out.verify-err" "$out.verify"
  if [ "$verify_status" -ne "$expected_status" ]; then
    echo "verify of $case_dir/expected.nc ended with $verify_status, expected $expected_status:"
    head -n 20 "$out.verify"
    exit 1
  fi
  if [ -f "$case_dir/expected.verify" ] &&
     ! diff -u "$case_dir/expected.verify" <(tr -d '\r' < "$out.verify" | sed -E 's#[^ ]*(expected\.nc|job\.json)#\1#g') > "$out.diff"; then
    echo "verify of $case_dir/expected.nc differs from $case_dir/expected.verify:"
    head -n 20 "$out.diff"
    exit 1
  fi
  exit 0
fi
echo "NC program differs from $case_dir/expected.nc (line ends shown as \\r):"
diff -u <(sed 's/\r$/\\r/' "$case_dir/expected.nc") <(sed 's/\r$/\\r/' "$out") > "$out.diff"
head -n 40 "$out.diff"
exit 1
