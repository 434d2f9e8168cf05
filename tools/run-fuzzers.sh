#!/usr/bin/env bash
# run-fuzzers.sh [SECONDS]
#
# Builds the libFuzzer targets of tests/fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-fuzz/) and runs each for SECONDS
# (default 60), two at a time: first on its seeds, on the corpus kept from
# longer runs and on every input that ever failed
# (tests/fuzz/<target>/regressions/), then on what it makes of them.  Fails on any finding: a crash, a memory fault, undefined behaviour,
# a leak, a broken property of the target, an input slower than 10 s.  A
# finding is copied into the target's regressions/ folder, to be committed
# with its fix; the ordinary tests replay that folder from then on.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
export LC_ALL=C

cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPELK_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build "$build" -j2 --target fuzz_job_reader fuzz_pipeline fuzz_laser_par

# run_target NAME DICTIONARY SEED_FOLDER...: runs one target; its log in
# build-fuzz/NAME.log.
run_target() {
  local name=$1 dictionary=$2
  shift 2
  local corpus="$build/corpus/$name" findings="$build/findings/$name"
  mkdir -p "$corpus" "$findings"
  "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -dict="$dictionary" -artifact_prefix="$findings/" -print_final_stats=1 \
    "$corpus" "$@" "tests/fuzz/$name/regressions" >"$build/$name.log" 2>&1
}

# report NAME STATUS: the verdict of one target.
failed=0
report() {
  local name=$1 status=$2
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/$name.log" | grep -o '[0-9]*$' || true)
  if [ "$status" -eq 0 ]; then
    echo "fuzz $name: ${runs:-?} runs, nothing found"
    return
  fi
  failed=1
  echo "fuzz $name: FAILED (exit $status); the end of $build/$name.log:"
  tail -n 40 "$build/$name.log"
  for finding in "$build/findings/$name"/*; do
    [ -f "$finding" ] || continue
    cp "$finding" "tests/fuzz/$name/regressions/"
    echo "fuzz $name: the input is kept as tests/fuzz/$name/regressions/$(basename "$finding")"
  done
}

run_target job_reader tests/fuzz/job.dict tests/fuzz/job_seeds tests/fuzz/job_corpus & reader=$!
run_target pipeline tests/fuzz/job.dict tests/fuzz/job_seeds tests/fuzz/job_corpus & pipeline=$!
status=0; wait $reader || status=$?; report job_reader $status
status=0; wait $pipeline || status=$?; report pipeline $status
status=0; run_target laser_par tests/fuzz/laser_par.dict tests/fuzz/laser_par/seeds tests/fuzz/laser_par/corpus || status=$?
report laser_par $status
exit $failed
