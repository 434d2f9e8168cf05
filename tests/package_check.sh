#!/usr/bin/env bash
# Makes the Debian package of the build (cpack -G DEB), unpacks it into a
# scratch root (dpkg -x, nothing installed on the machine) and posts samples
# with the pelk-post found there: it must find its module from its own
# folder and write the same programs as the build tree.  The package must
# also hold the man page, the docs with the schema, and the samples.
# Usage: package_check.sh BUILD_DIR
set -eu
build=$1
export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log" 2>&1; then
  echo "cpack failed:"; tail -n 30 "$work/cpack.log"; exit 1
fi
deb=$(ls "$work"/out/*.deb)
dpkg-deb --field "$deb" Package Version Depends
dpkg -x "$deb" "$work/root"
root=$work/root/usr
doc=$root/share/doc/pelk-post
for file in bin/pelk-post share/man/man1/pelk-post.1.gz share/doc/pelk-post/README.md \
            share/doc/pelk-post/docs/job-format.md share/doc/pelk-post/docs/job.schema.json \
            share/doc/pelk-post/docs/machine.schema.json share/doc/pelk-post/examples/machine/LASER.PAR \
            share/doc/pelk-post/examples/machines/shop.json; do
  [ -f "$root/$file" ] || { echo "the package lacks /usr/$file"; exit 1; }
done
[ -n "$(find "$root/lib" -name pelk1.so)" ] || { echo "the package lacks the module pelk1.so"; exit 1; }
if find "$doc/examples" -name '*.nc' | grep -q .; then echo "the package holds written programs"; exit 1; fi
# One description, without the stray " ;" of a text made of several.
if dpkg-deb --field "$deb" Description | grep -qF ' ;'; then echo "the description holds a stray ';'"; exit 1; fi
# The man page is the help text: the options of every command are there,
# and the docs' installed place.
man=$(zcat "$root/share/man/man1/pelk-post.1.gz" | sed 's/\\-/-/g')
for text in 'Machine file (JSON' 'pelk-post verify JOB PROGRAM' 'allowance' 'pelk-post plot JOB' \
            'pelk-post stats JOB' 'One JSON object' '/usr/share/doc/pelk-post/docs'; do
  grep -qF -- "$text" <<< "$man" || { echo "the man page lacks: $text"; exit 1; }
done
# The help names the module where this package puts it.
module_from_bin=$("$root/bin/pelk-post" --help | tr '\n' ' ' | sed -n 's/.*else \([^ ]*\)\/pelk1\.so from.*/\1/p')
[ -f "$root/bin/$module_from_bin/pelk1.so" ] || { echo "the help names the module in $module_from_bin, not where it is"; exit 1; }
# Every file of docs/ that the installed README links to (the plot's picture
# too) is installed beside it.
for link in $(grep -o '](docs/[^)#]*)' "$doc/README.md" | sed 's/^](//; s/)$//'); do
  [ -e "$doc/$link" ] || { echo "the installed README links $link, which is not installed"; exit 1; }
done
for sample in punching patterns; do
  "$build/pelk-post" --module "$build/pelk1.so" -o "$work/expected.nc" "$doc/examples/$sample.json"
  if ! env -u PELK_MODULE "$root/bin/pelk-post" -o "$work/out.nc" "$doc/examples/$sample.json"; then
    echo "the packaged pelk-post failed on $sample.json"; exit 1
  fi
  cmp -s "$work/expected.nc" "$work/out.nc" || { echo "the packaged pelk-post wrote another program of $sample.json"; exit 1; }
done
