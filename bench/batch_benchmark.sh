#!/usr/bin/env bash
# batch_benchmark.sh PELK_POST [JOBS] [ROUNDS]
# Many jobs in one call: JOBS copies of examples/punching.json (1000 by
# default) posted with -j 1 and with -j 2, ROUNDS times each (3 by default),
# each round into a fresh output folder; prints the wall times and the ratio
# of the medians.  Run it on a release build, on a machine otherwise idle.
set -eu
post=$1 jobs=${2:-1000} rounds=${3:-3}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in $(seq 1 "$jobs"); do cp "$here/examples/punching.json" "$work/job$i.json"; done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for parallel in 1 2; do
  for round in $(seq 1 "$rounds"); do
    start=$(date +%s.%N)
    "$post" -q -j "$parallel" --output-dir "$work/out" "$work"/job*.json 2>/dev/null
    end=$(date +%s.%N)
    rm -rf "$work/out"
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f\n", b - a }'
  done > "$work/times$parallel"
  echo "-j $parallel: $(tr '\n' ' ' < "$work/times$parallel")s; median $(median < "$work/times$parallel") s"
done
awk -v a="$(median < "$work/times1")" -v b="$(median < "$work/times2")" \
  'BEGIN { printf "ratio of the medians, -j 2 / -j 1: %.2f\n", b / a }'
