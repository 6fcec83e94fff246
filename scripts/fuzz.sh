#!/usr/bin/env bash
# Builds the network file fuzz target with clang and runs it on the seed corpus.
#   scripts/fuzz.sh [SECONDS]   (default 600)
# New inputs go to build/fuzz/corpus; crashes and hangs are written to build/fuzz/findings.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds="${1:-600}"
scripts/setup.sh clang libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2 --target zan_fuzz_network_file
mkdir -p build/fuzz/corpus build/fuzz/findings
build/fuzz/fuzz/zan_fuzz_network_file build/fuzz/corpus fuzz/corpus \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=65536 \
  -artifact_prefix=build/fuzz/findings/ -print_final_stats=1
