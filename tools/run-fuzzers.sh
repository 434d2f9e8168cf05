#!/usr/bin/env bash
# run-fuzzers.sh [SECONDS]
#
# Builds the libFuzzer targets of tests/fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-fuzz/) and runs each for SECONDS
# (default 45), two at a time (seven targets: four rounds, three minutes in
# all at the default): first on its seeds, on the corpus kept from
# longer runs and on every input that ever failed
# (tests/fuzz/<target>/regressions/), then on what it makes of them.  Fails on any finding: a crash, a memory fault, undefined behaviour,
# a leak, a broken property of the target, an input slower than 10 s.  A
# finding is copied into the target's regressions/ folder, to be committed
# with its fix; the ordinary tests replay that folder from then on.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-45}
build=build-fuzz
export LC_ALL=C

cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPELK_FUZZ=ON -DBUILD_TESTING=OFF
targets="job_reader pipeline laser_par program_reader verify_mutation post_verify laser_par_agreement"
# shellcheck disable=SC2046
cmake --build "$build" -j2 --target $(for t in $targets; do printf 'fuzz_%s ' "$t"; done)

# run_target NAME DICTIONARY SEED_FOLDER...: runs one target (DICTIONARY
# "-" for none); its log in build-fuzz/NAME.log.
run_target() {
  local name=$1 dictionary=$2
  shift 2
  local corpus="$build/corpus/$name" findings="$build/findings/$name"
  local words=()
  [ "$dictionary" = - ] || words=(-dict="$dictionary")
  mkdir -p "$corpus" "$findings"
  "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    "${words[@]}" -artifact_prefix="$findings/" -print_final_stats=1 \
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

# pair NAME ARGUMENTS NAME ARGUMENTS: two targets at once (the arguments of
# each one word, split at blanks), then their verdicts.
pair() {
  local first=$1 first_args=$2 second=$3 second_args=$4 one two status
  # shellcheck disable=SC2086
  run_target "$first" $first_args & one=$!
  if [ -n "$second" ]; then
    # shellcheck disable=SC2086
    run_target "$second" $second_args & two=$!
  fi
  status=0; wait "$one" || status=$?; report "$first" $status
  if [ -n "$second" ]; then
    status=0; wait "$two" || status=$?; report "$second" $status
  fi
}

jobs="tests/fuzz/job_seeds tests/fuzz/job_corpus"
pars="tests/fuzz/laser_par/seeds tests/fuzz/laser_par/corpus"
pair job_reader "tests/fuzz/job.dict $jobs" pipeline "tests/fuzz/job.dict $jobs"
pair post_verify "tests/fuzz/job.dict tests/fuzz/post_verify/seeds $jobs" \
  program_reader "tests/fuzz/program.dict tests/fuzz/program_reader/seeds"
pair laser_par "tests/fuzz/laser_par.dict $pars" \
  laser_par_agreement "tests/fuzz/laser_par.dict tests/fuzz/laser_par_agreement/seeds $pars"
pair verify_mutation "- tests/fuzz/verify_mutation/seeds" "" ""
exit $failed
