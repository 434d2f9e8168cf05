#!/usr/bin/env bash
# Runs the Windows program $PELK_WINDOWS_PROGRAM under $PELK_WINE (wine64)
# with the arguments given; every Unix absolute path among them is handed
# over as the same path on wine's drive Z:, which maps the Unix root.
# Used as the program of the golden checks, in place of pelk-post.
#
# Windows ends the lines of its text streams with "\r\n": standard error,
# which carries messages only, is handed on with "\n" line ends as on Linux.
# Standard output is handed on as it is, since it may carry an NC program.
set -u
args=()
for arg in "$@"; do
  case $arg in
    /*) args+=("Z:$arg") ;;
    *) args+=("$arg") ;;
  esac
done
messages=$(mktemp)
trap 'rm -f "$messages"' EXIT
"$PELK_WINE" "$PELK_WINDOWS_PROGRAM" "${args[@]}" 2>"$messages"
status=$?
tr -d '\r' <"$messages" >&2
exit "$status"
