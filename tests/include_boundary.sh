#!/usr/bin/env bash
# include_boundary.sh TARGET DIRS FOLDER...
# DIRS is the target's include directories, joined with ':'.  Fails, naming
# the way in, when any of them would let the target include a file from one
# of the FOLDERs ("plugin/..." and the like).
set -u
target=$1
dirs=$2
shift 2
if [ -z "$dirs" ]; then
  echo "$target: no include directories given" >&2
  exit 1
fi
IFS=':' read -ra list <<< "$dirs"
status=0
for folder in "$@"; do
  for dir in "${list[@]}"; do
    if [ -e "$dir/$folder" ]; then
      echo "$target can include $folder/ through $dir" >&2
      status=1
    fi
  done
done
exit $status
