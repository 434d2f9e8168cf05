#!/usr/bin/env bash
# Reads the tables of a Windows pelk1.dll with the mingw objdump and checks
# them against what the host application can load:
#   - the file format (pei-i386 for the host's 32-bit process);
#   - one export, post_dll_set_pp_vars, by that plain name;
#   - imports from VARNOKII.exe and Windows' own libraries only (kernel32,
#     msvcrt or the UCRT): no C or C++ runtime DLL of the compiler;
#   - every name imported from VARNOKII.exe is a host name of the module
#     definition file, and every host name that the module's objects use is
#     imported from VARNOKII.exe;
#   - no object of the module has a static initializer, which would run
#     when the DLL is loaded.
# Every problem found is reported; the exit status is 1 if there was any.
#
# Usage: check_dll_tables.sh OBJDUMP NM FORMAT DLL HOST_DEF OBJECT...
#   FORMAT: the objdump file format expected, pei-i386 or pei-x86-64
set -u
objdump=$1 nm=$2 format=$3 dll=$4 host_def=$5
shift 5
name=$(basename "$dll")
problems=0
problem() {
  echo "$name: $*"
  problems=$((problems + 1))
}

if ! dump=$("$objdump" -p "$dll"); then
  echo "$name: objdump cannot read it"
  exit 1
fi

# ---- 1. File format ---------------------------------------------------------
found_format=$(sed -n 's/.*file format \(.*\)$/\1/p' <<<"$dump" | head -n 1)
[ "$found_format" = "$format" ] || problem "file format $found_format, expected $format"

# ---- 2. Exports -----------------------------------------------------------------
# Every exported address (ordinal-only ones included) and every exported name.
export_addresses=$(awk '/^Export Address Table -- Ordinal Base/ { on = 1; next }
                        on && NF == 0 { on = 0 }
                        on { n++ } END { print n + 0 }' <<<"$dump")
export_names=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
                    on && NF == 0 { on = 0 }
                    on { print $NF }' <<<"$dump")
if [ "$export_addresses" != 1 ] || [ "$export_names" != post_dll_set_pp_vars ]; then
  shown=$(head -n 8 <<<"$export_names" | tr '\n' ' ')
  [ "$(wc -l <<<"$export_names")" -gt 8 ] && shown="$shown..."
  problem "exports $export_addresses entries named [${shown% }], expected post_dll_set_pp_vars alone"
fi

# ---- 3. Imported DLLs -------------------------------------------------------------
imported_dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
for dll_name in $imported_dlls; do
  case ${dll_name,,} in
    varnokii.exe | kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll) ;;
    *) problem "imports from $dll_name, which is neither the host nor a Windows system library" ;;
  esac
done
grep -qx VARNOKII.exe <<<"$imported_dlls" || problem "imports nothing from VARNOKII.exe"

# ---- 4. Host names ------------------------------------------------------------------
host_names=$(awk '/^EXPORTS/ { on = 1; next } on && NF > 0 && $1 !~ /^;/ { print $1 }' "$host_def" | sort -u)
host_imports=$(awk '/DLL Name: VARNOKII.exe/ { on = 1; getline; next }
                    on && NF == 0 { on = 0 }
                    on { print $NF }' <<<"$dump" | sort -u)
for import in $(comm -13 <(echo "$host_names") <(echo "$host_imports")); do
  problem "imports $import from VARNOKII.exe, which is no host name of $(basename "$host_def")"
done

# The names the objects leave undefined, as C names: data through its import
# pointer (__imp_), and on 32-bit x86 every C name with a leading underscore.
c_prefix=""
[ "$format" = pei-i386 ] && c_prefix=_
used=$("$nm" -u "$@" | awk 'NF == 2 { print $2 }' |
       sed -e 's/^__imp_//' -e "s/^$c_prefix//" | sort -u | comm -12 - <(echo "$host_names"))
if [ -z "$used" ]; then
  problem "its objects use no host name at all: are they the module's?"
fi
for missing in $(comm -23 <(echo "$used") <(echo "$host_imports")); do
  problem "uses the host name $missing but does not import it from VARNOKII.exe"
done

# ---- 5. Nothing of the module's own runs at load ---------------------------------------
for initializer in $("$nm" --defined-only "$@" | awk '$NF ~ /_GLOBAL__sub_I_/ { print $NF }'); do
  problem "runs code of its own when it is loaded: $initializer"
done

if [ "$problems" -gt 0 ]; then
  exit 1
fi
echo "$name: $format, exports post_dll_set_pp_vars only," \
     "imports $(wc -w <<<"$used") host names from VARNOKII.exe and otherwise only [$(echo $imported_dlls | tr ' ' '\n' | grep -vx VARNOKII.exe | tr '\n' ' ')]"
