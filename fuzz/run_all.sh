#!/bin/sh
# Builds the fuzz tree and runs every fuzz_* target for N seconds each (default 30).
# Usage: fuzz/run_all.sh [seconds]    Environment: KESTRUM_FUZZ_BUILD (build folder).
# Corpora are kept in fuzz/corpus-<name>/ (not committed); seeds in fuzz/seeds/<name>/ and a
# dictionary fuzz/<name>.dict are used when present. Exits non-zero when a target finds a fault.
set -eu

seconds="${1:-30}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KESTRUM_FUZZ_BUILD:-$root/build-fuzz}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DKESTRUM_FUZZ=ON -DKESTRUM_CORE_ONLY=ON -DKESTRUM_WERROR=ON >/dev/null
targets=$(ninja -C "$build" -t targets all | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): .*/\1/p' | sort -u)
if [ -z "$targets" ]; then
    echo "no fuzz targets" >&2
    exit 1
fi
# shellcheck disable=SC2086
ninja -C "$build" $targets

status=0
for target in $targets; do
    name="${target#fuzz_}"
    corpus="$root/fuzz/corpus-$name"
    mkdir -p "$corpus"
    set -- "$corpus"
    if [ -d "$root/fuzz/seeds/$name" ]; then
        set -- "$@" "$root/fuzz/seeds/$name"
    fi
    if [ -f "$root/fuzz/$name.dict" ]; then
        set -- "$@" -dict="$root/fuzz/$name.dict"
    fi
    echo "== $target for ${seconds}s"
    if ! (cd "$build" && "$build/fuzz/$target" "$@" -max_len=4096 -timeout=10 \
            -max_total_time="$seconds" -print_final_stats=1); then
        echo "!! $target found a fault (artifacts in $build)" >&2
        status=1
    fi
done
exit $status
