#!/usr/bin/env bash
# The module must export post_dll_set_pp_vars and no other symbol of its own,
# and must define none of the host's names.
set -eu
module=$1
defined=$(nm -D --defined-only "$module" | awk '{ print $NF }' | sort -u)
if [ "$defined" != "post_dll_set_pp_vars" ]; then
  echo "pelk1 defines these dynamic symbols, expected only post_dll_set_pp_vars:"
  echo "$defined"
  exit 1
fi
for name in c_nc_buff pp_hit gen_nc_x_y flush_nc_buffer; do
  if ! nm -D --undefined-only "$module" | awk '{ print $NF }' | grep -qx "$name"; then
    echo "pelk1 does not import the host name $name"
    exit 1
  fi
done
echo "pelk1 exports post_dll_set_pp_vars only"
