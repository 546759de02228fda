#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs every test, builds
# the Debian package and starts the programs it installs, and builds the
# library and cardtool without the GUI.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/check_format.sh
cmake --preset test
cmake --build --preset test
ctest --preset test -j"$(nproc)"
scripts/check_package.sh
cmake --preset nogui >/dev/null
cmake --build --preset nogui
# The fuzz targets, for a bounded time each.
scripts/fuzz.sh 45
