#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset test
cmake --build --preset test
ctest --preset test -j"$(nproc)"
# The fuzz targets, for a bounded time each.
scripts/fuzz.sh 45
