#!/usr/bin/env bash
# Builds the Debian package of the programs from the default build:
# build/default/trakomer_<version>_<arch>.deb, its dependencies computed by
# dpkg-shlibdeps. Install it with: sudo apt install ./build/default/trakomer_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh default
cd build/default
cpack -G DEB
ls -1 "$PWD"/trakomer_*.deb
