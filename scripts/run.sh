#!/usr/bin/env bash
# Builds the zanwin editor (installing the Debian packages it needs first) and starts it.
# Arguments are passed on to zanwin, e.g. scripts/run.sh path/to/network.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# Network opened when no arguments are given; empty starts an empty editor.
SAMPLE="examples/sample.dta"

program="$PWD/build/release/src/app/zanwin"

scripts/setup.sh
if [ ! -f build/release/CMakeCache.txt ]; then
  cmake --preset release
fi
cmake --build --preset release --target zanwin -j 2

args=("$@")
if [ ${#args[@]} -eq 0 ] && [ -n "$SAMPLE" ]; then
  args=("$PWD/$SAMPLE")
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<MSG
zanwin is built: $program

It is a desktop program and needs a display, but neither DISPLAY nor WAYLAND_DISPLAY is set,
so it was not started. Run scripts/run.sh again from a desktop session, or, to have a look
without a screen, run it on a virtual X server:

  xvfb-run -a -s "-screen 0 1600x1000x24" $program ${args[*]}
MSG
  exit 0
fi

exec "$program" "${args[@]}"
