#!/usr/bin/env bash
# Runs the Windows program $PELK_WINDOWS_PROGRAM under $PELK_WINE (wine64)
# with the arguments given; every Unix absolute path among them is handed
# over as the same path on wine's drive Z:, which maps the Unix root.
# Used as the program of the golden checks, in place of pelk-post.
set -u
args=()
for arg in "$@"; do
  case $arg in
    /*) args+=("Z:$arg") ;;
    *) args+=("$arg") ;;
  esac
done
exec "$PELK_WINE" "$PELK_WINDOWS_PROGRAM" "${args[@]}"
