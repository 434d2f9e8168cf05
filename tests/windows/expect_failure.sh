#!/usr/bin/env bash
# Runs a command that must fail and must say why: passes when the command
# exits with a status other than 0 and its output matches the pattern (an
# extended regular expression, matched with every run of white space in the
# output taken as one blank, since some tools wrap their messages).
# Usage: expect_failure.sh PATTERN COMMAND [ARGUMENT...]
set -u
pattern=$1
shift
output=$("$@" 2>&1)
status=$?
echo "$output"
if [ "$status" -eq 0 ]; then
  echo "expected a failure, but the command succeeded"
  exit 1
fi
if ! tr -s '\r\n\t ' ' ' <<<"$output" | grep -Eq -- "$pattern"; then
  echo "expected the output to match: $pattern"
  exit 1
fi
echo "failed as expected"
