#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs every test. What
# else CI checks (the Debian package, the build without the GUI, the fuzz
# targets) is in .ci/run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/check_format.sh
cmake --preset test
cmake --build --preset test
ctest --preset test -j"$(nproc)"
