#!/usr/bin/env bash
# First README command: set up the machine, build, and run the recorder on
# the demo receiver. With a display, the window opens on the demo receiver
# (a pseudo-terminal replaying data/demo/demo.nmea in real time). Without
# one, the headless recorder replays the same log on a virtual clock and
# prints its summary, and nmea-dump prints the receiver's final fix.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh default
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec build/default/app/trakomer --device demo "$@"
fi
echo "No display found: recording the demo log headless instead." >&2
out=build/demo-output
mkdir -p "$out"
build/default/cli/trakomer-cli record --input data/demo/demo.nmea --profile run --out-dir "$out"
exec build/default/cli/trakomer-cli nmea-dump data/demo/demo.nmea
