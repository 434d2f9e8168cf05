#!/usr/bin/env bash
# The host calls post_dll_set_pp_vars and every hook the C way: the caller
# removes the arguments.  On 32-bit x86 a function that removes its own
# arguments ends in "ret $n"; none of the module's own functions (those of
# namespace pelk, the hooks among them) nor the export may do so.
# Usage: check_caller_cleans.sh OBJDUMP DLL
set -u
objdump=$1 dll=$2
if ! listing=$("$objdump" -d --no-show-raw-insn "$dll"); then
  echo "$(basename "$dll"): objdump cannot read it"
  exit 1
fi
awk -v dll="$(basename "$dll")" '
  /^[0-9a-f]+ <[^>]*>:$/ {
    name = $2
    gsub(/^<|>:$/, "", name)
    own = name ~ /^__ZN4pelk/ || name == "_post_dll_set_pp_vars"
    if (own) functions++
    if (name ~ /^__ZN4pelk[0-9]+pp_/) hooks++
    if (name == "_post_dll_set_pp_vars") export_seen = 1
    next
  }
  own && /\tret +\$/ { print dll ": " name " removes its own arguments (" $0 ")"; bad++ }
  END {
    if (!export_seen || hooks == 0) {
      print dll ": no symbols of the export and the hooks to check (a stripped DLL?)"
      exit 1
    }
    if (bad > 0) exit 1
    print dll ": " functions " functions of the module, " hooks " hooks among them, all leave the arguments to the caller"
  }' <<<"$listing"
