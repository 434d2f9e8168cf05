#!/usr/bin/env bash
# Makes the module-definition file of a header and compares it with the one
# expected.  Usage: check_host_def.sh CMAKE GENERATOR_SCRIPT HEADER EXPECTED OUTPUT
set -u
cmake=$1 generator=$2 header=$3 expected=$4 output=$5
rm -f "$output"
"$cmake" -DHEADER="$header" -DOUTPUT="$output" -P "$generator" || exit 1
diff -u "$expected" "$output"
