#!/usr/bin/env bash
# Configures (once) and builds one CMake preset: default, asan or tsan.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
if [[ ! -f build/$preset/CMakeCache.txt ]]; then
  cmake --preset "$preset" >/dev/null
fi
cmake --build --preset "$preset" -j "$(nproc)"
