#!/usr/bin/env bash
# Builds the fuzz targets (clang with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs each for N seconds
# (default 30) from its committed seed corpus in fuzz/corpus/<target>.
# Fails when any target finds a crash, a leak, undefined behaviour or a
# time-out; the input that did it is left in build/fuzz/findings.
#
#   tools/fuzz.sh [--seconds N] [--seed S]   build and run every target
#                                 (--seed: the same mutations every run, as
#                                 CI wants; without it each run differs)
#   tools/fuzz.sh --make-seeds    rewrite the seed corpora with our writers
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=30
make_seeds=0
seed_option=()
while [[ $# -gt 0 ]]; do
  case $1 in
    --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
    --seconds=*) seconds=${1#--seconds=}; shift ;;
    --seed) seed_option=(-seed="${2:?--seed needs a number}"); shift 2 ;;
    --make-seeds) make_seeds=1; shift ;;
    *) echo "usage: tools/fuzz.sh [--seconds N] [--seed S] [--make-seeds]" >&2; exit 2 ;;
  esac
done
[[ $seconds =~ ^[0-9]+$ ]] || { echo "fuzz.sh: --seconds needs a whole number" >&2; exit 2; }

build=build/fuzz
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DTRAKOMER_FUZZ=ON -DTRAKOMER_BENCH=OFF \
    -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link $sanitize" \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link $sanitize" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null
fi
cmake --build "$build" -j "$(nproc)"

if [[ $make_seeds == 1 ]]; then
  "$build/fuzz/make_seeds" fuzz/corpus data/demo/demo.nmea
  exit 0
fi

# intercept_tls_get_addr=0: see tools/test.sh (a tracer crash, not a finding).
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
findings=$build/findings
mkdir -p "$findings"
failed=()
for fuzzer in "$build"/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer" _fuzzer)
  # New inputs go to a scratch folder; the committed corpus stays as it is.
  scratch=$(mktemp -d)
  log=$findings/$name.log
  echo "fuzz: $name for ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      "${seed_option[@]}" -artifact_prefix="$findings/$name-" "$scratch" "fuzz/corpus/$name" >"$log" 2>&1; then
    failed+=("$name")
    echo "fuzz: $name FAILED (log $log)" >&2
    grep -E "^(==|SUMMARY|.*runtime error)" "$log" | head -20 >&2 || true
  fi
  rm -rf "$scratch"
done
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzz: findings in ${failed[*]}; reproducers in $findings" >&2
  exit 1
fi
echo "fuzz: every target ran clean"
