#!/usr/bin/env bash
# Sets up, builds and runs a script: by default the first example.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
build=${KESTRUM_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUM_WERROR=ON >/dev/null
cmake --build "$build" --parallel --target kestrum-run
exec "$build/host/kestrum-run" "${1:-$root/examples/hello_and_loops.NNProg}"
