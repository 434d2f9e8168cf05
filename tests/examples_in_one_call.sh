#!/usr/bin/env bash
# examples_in_one_call.sh PELK_POST MODULE JOB...
# Posts every sample in one call, as a shop posts a day's nests: exit status 0
# and the summary line that counts them all as written.
set -u
post=$1 module=$2
shift 2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$post" --module "$module" --output-dir "$out/nc" "$@" 2> "$out/err"
status=$?
cat "$out/err"
[ "$status" -eq 0 ] || { echo "exit status $status, expected 0"; exit 1; }
grep -qx "$# jobs: $# written, 0 refused, 0 failed" "$out/err" || { echo "no summary line for $# jobs"; exit 1; }
[ "$(ls "$out/nc" | wc -l)" -eq "$#" ] || { echo "not every program was written"; exit 1; }
