#!/usr/bin/env bash
# Sets up, builds and starts the desktop application in a working copy of the examples outside
# the tree (see examples_work_copy.sh). Without a display it says so and runs
# examples/hello_and_loops.NNProg (or the document named as its argument) with kestrum-run instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=""
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # First, so that where the working copy cannot be made nothing is built or started.
  work=$(bash "$root/scripts/examples_work_copy.sh") || {
    echo "start.sh: the working copy of the examples cannot be made (see above); the desktop is not started." >&2
    exit 1
  }
fi
bash "$root/scripts/install-deps.sh"
build=${KESTRUM_BUILD_DIR:-$root/build}
bash "$root/scripts/configure.sh" "$build" >/dev/null
if [ -n "$work" ]; then
  cmake --build "$build" --parallel --target kestrum
  cd -- "$work"
  exec "$build/shell/kestrum"
fi
document=${1:-$root/examples/hello_and_loops.NNProg}
echo "start.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the desktop cannot start;" \
     "running $document with kestrum-run instead." >&2
cmake --build "$build" --parallel --target kestrum-run
exec "$build/host/kestrum-run" "$document"
