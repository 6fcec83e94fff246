#!/usr/bin/env bash
# Builds everything under AddressSanitizer and UndefinedBehaviorSanitizer (warnings are errors)
# and runs every test. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup.sh
cmake --preset test
cmake --build --preset test -j 2
ctest --preset test -j 2
