#!/usr/bin/env bash
# Second README command: set up the machine, build and run every test.
# The plain build runs the whole suite; the AddressSanitizer build runs it
# again; the ThreadSanitizer build runs the tests labelled "threads".
# TRAKOMER_QUICK=1 runs only the plain build (for a quick local check).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
jobs=$(nproc)

tools/build.sh default
ctest --preset default -j "$jobs"

if [[ "${TRAKOMER_QUICK:-0}" != 1 ]]; then
  tools/build.sh asan
  ctest --preset asan -j "$jobs"
  tools/build.sh tsan
  ctest --preset tsan -j "$jobs" -L threads
fi
