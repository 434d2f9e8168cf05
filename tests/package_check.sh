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
# The man page is the help text: its options are there.
zcat "$root/share/man/man1/pelk-post.1.gz" | grep -qF 'Machine file (JSON' || { echo "the man page lacks --machine"; exit 1; }
for sample in punching patterns; do
  "$build/pelk-post" --module "$build/pelk1.so" -o "$work/expected.nc" "$doc/examples/$sample.json"
  if ! env -u PELK_MODULE "$root/bin/pelk-post" -o "$work/out.nc" "$doc/examples/$sample.json"; then
    echo "the packaged pelk-post failed on $sample.json"; exit 1
  fi
  cmp -s "$work/expected.nc" "$work/out.nc" || { echo "the packaged pelk-post wrote another program of $sample.json"; exit 1; }
done
