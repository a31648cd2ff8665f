#!/usr/bin/env bash
# Configures the build folder that start.sh and test.sh build in: a new one with Ninja as a
# RelWithDebInfo build that treats warnings as errors; one already configured (by hand, with
# another generator or build type) keeps its settings, as CMake refuses a change of generator.
# Usage: configure.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
settings=()
[ -f "$build/CMakeCache.txt" ] || settings=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUM_WERROR=ON)
cmake -S "$root" -B "$build" "${settings[@]}"
