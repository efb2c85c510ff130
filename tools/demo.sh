#!/usr/bin/env bash
# First README command: set up the machine, build, and run the recorder's
# main job on the bundled demo receiver log.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh default
exec build/default/cli/trakomer-cli nmea-dump data/demo/demo.nmea
