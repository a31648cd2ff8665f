#!/bin/bash
# Usage: fuzz/seeded_faults.sh [-t seconds] [-p parallel] [-j build-jobs] [--baseline] [NN-name.patch ...]
#
# Shows that the comparisons of compiled regions with the word-by-word reading catch faults: each
# patch in fuzz/seeded_faults/ (or those named) plants one bug in the region code. For each one,
# in a scratch copy of the tree (the real worktree is never touched), it builds the interpreter
# tests and both comparison fuzz targets in a clang fuzz build (ccache keeps rebuilds to the
# patched files), runs the interpreter tests and records which fail, then runs each fuzz target
# from an empty corpus (plus fuzz/seeds/<name>/ if present) for at most `seconds` (default 300)
# and records the seconds until its first crash. One table row per fault:
#   fault | tests that caught it | fuzz_region_bodies | fuzz_region_scripts
# --baseline first checks the tree without any patch (nothing may be caught there); the name
# `none` stands for that unpatched tree too (`fuzz/seeded_faults.sh none` checks only it).
#
# -p: faults evaluated at a time (default 2; each runs its two fuzzers side by side, so 2 means 4
# busy cores); -j: compile jobs (default 2). Environment: KESTRUM_FAULTS_DIR (scratch folder,
# default a new one under /tmp, removed at the end), KESTRUM_FAULTS_SEED (libFuzzer -seed, default
# 1, so that timings repeat), KESTRUM_FAULTS_KEEP=1 keeps the scratch folder (logs, crash inputs),
# KESTRUM_FAULTS_TEST_SECONDS caps the interpreter tests' run (default 180; a hang counts as caught).
# Exits non-zero when a fault is caught by nothing, or the tree without a patch fails.
#
# fuzz/seeded_faults.sh --remake NN-name.patch file 'sed expression' makes a fault's patch again
# where the code it breaks has moved: the sed expression plants the same bug in the file as it is
# now, and the patch (its first line, the mechanism, kept) is written from the difference.
set -u

remake() {
    local patch="$1" file="$2" expression="$3" root saved
    root="$(cd "$(dirname "$0")/.." && pwd)"
    case "$patch" in */*) ;; *) patch="$root/fuzz/seeded_faults/$patch" ;; esac
    [ -f "$patch" ] || { echo "no such patch: $patch" >&2; return 2; }
    cd "$root" || return 2
    saved="$(mktemp)"
    cp "$file" "$saved"
    sed -i "$expression" "$file"
    if cmp -s "$file" "$saved"; then
        echo "the expression changes nothing in $file" >&2
        rm -f "$saved"
        return 1
    fi
    local mechanism
    mechanism="$(head -1 "$patch")"
    { echo "$mechanism"; echo; echo "diff --git a/$file b/$file"
      diff -u --label "a/$file" --label "b/$file" "$saved" "$file"; } > "$patch.new"
    cp "$saved" "$file"
    rm -f "$saved"
    if ! git apply --check "$patch.new"; then
        rm -f "$patch.new"
        return 1
    fi
    mv "$patch.new" "$patch"
    echo "made again: $(basename "$patch")"
}
if [ "${1:-}" = --remake ]; then
    [ $# -eq 4 ] || { echo "usage: $0 --remake NN-name.patch file 'sed expression'" >&2; exit 2; }
    remake "$2" "$3" "$4"
    exit $?
fi

seconds=300
test_seconds="${KESTRUM_FAULTS_TEST_SECONDS:-180}"
parallel=2
jobs=2
baseline=0
while [ $# -gt 0 ]; do
    case "$1" in
        -t) seconds="$2"; shift 2 ;;
        -p) parallel="$2"; shift 2 ;;
        -j) jobs="$2"; shift 2 ;;
        --baseline) baseline=1; shift ;;
        -h|--help) sed -n '2,/^set -u/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        -*) echo "unknown option $1" >&2; exit 2 ;;
        *) break ;;
    esac
done

root="$(cd "$(dirname "$0")/.." && pwd)"
faults_dir="$root/fuzz/seeded_faults"
targets="fuzz_region_bodies fuzz_region_scripts"
seed="${KESTRUM_FAULTS_SEED:-1}"

patches=()
if [ $# -gt 0 ]; then
    for name in "$@"; do
        if [ "$name" = none ]; then patches+=(none)
        elif [ -f "$name" ]; then patches+=("$(cd "$(dirname "$name")" && pwd)/$(basename "$name")")
        elif [ -f "$faults_dir/$name" ]; then patches+=("$faults_dir/$name")
        else echo "no such patch: $name" >&2; exit 2; fi
    done
else
    shopt -s nullglob
    patches=("$faults_dir"/*.patch)
    shopt -u nullglob
fi
[ "$baseline" = 1 ] && patches=(none "${patches[@]}")

scratch="${KESTRUM_FAULTS_DIR:-$(mktemp -d /tmp/kestrum-faults.XXXXXX)}"
mkdir -p "$scratch/results"
src="$scratch/src"
build="$scratch/build"
cleanup() {
    # Only what this script started: the evaluations still running in the background.
    for pid in $(jobs -p); do kill -- "$pid" 2>/dev/null; done
    wait 2>/dev/null
    [ "${KESTRUM_FAULTS_KEEP:-0}" = 1 ] || rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The worktree's tracked files as they are now: the worktree may change while the faults run.
snapshot() {
    (cd "$root" && git ls-files -z) | (cd "$root" && xargs -0 cp --parents -t "$scratch/clean" 2>/dev/null)
}

# The scratch sources made equal to the snapshot; only files that differ are written (with a new
# time), so that the build redoes only what the last patch touched.
sync_tree() {
    (cd "$scratch/clean" && find . -type f -print0) | while IFS= read -r -d '' file; do
        if ! cmp -s "$scratch/clean/$file" "$src/$file"; then
            mkdir -p "$src/$(dirname "$file")"
            cp "$scratch/clean/$file" "$src/$file"
        fi
    done
}

configure() {
    # ccache sees the same relative paths in every scratch folder. Warnings stay warnings: the
    # tests are not kept free of clang's, and a planted fault need not be.
    export CCACHE_BASEDIR="$scratch"
    CC=clang CXX=clang++ cmake -S "$src" -B "$build" -G Ninja -DKESTRUM_FUZZ=ON -DKESTRUM_CORE_ONLY=ON \
        -DKESTRUM_WERROR=OFF -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
}

# Builds the tree with the patch applied; the binaries go to the fault's result folder.
build_fault() {
    local patch="$1" out="$2"
    sync_tree
    if [ "$patch" != none ] && ! (cd "$src" && git apply "$patch") 2>"$out/apply.log"; then
        echo "patch does not apply" >"$out/status"
        return 1
    fi
    # shellcheck disable=SC2086
    if ! ninja -C "$build" -j "$jobs" kestrum_interpreter_tests $targets >"$out/build.log" 2>&1; then
        echo "build failed" >"$out/status"
        return 1
    fi
    mkdir -p "$out/bin"
    cp "$build/tests/kestrum_interpreter_tests" "$out/bin/"
    for target in $targets; do cp "$build/fuzz/$target" "$out/bin/"; done
}

# Seconds until the target's first crash, or "not found in Ns".
run_fuzzer() {
    local out="$1" target="$2" name="${2#fuzz_}"
    local corpus="$out/corpus-$name" artifacts="$out/artifacts-$name/"
    mkdir -p "$corpus" "$artifacts"
    local args=("$corpus")
    [ -d "$scratch/clean/fuzz/seeds/$name" ] && args+=("$scratch/clean/fuzz/seeds/$name")
    [ -f "$scratch/clean/fuzz/$name.dict" ] && args+=("-dict=$scratch/clean/fuzz/$name.dict")
    local start end status
    start=$(date +%s.%N)
    (cd "$out" && "$out/bin/$target" "${args[@]}" -max_len=4096 -timeout=10 -seed="$seed" \
        -max_total_time="$seconds" -artifact_prefix="$artifacts") >"$out/$name.log" 2>&1
    status=$?
    end=$(date +%s.%N)
    if [ $status -eq 0 ]; then
        echo "not found in ${seconds}s" >"$out/$name.result"
        return
    fi
    # A difference, a sanitizer's report or a hang is the fault's doing; running out of memory is
    # shown but not counted (a text that doubles at every pass does it without any fault).
    local kind=crash
    grep -aq "ERROR: libFuzzer: timeout" "$out/$name.log" && kind=timeout
    grep -aq "ERROR: libFuzzer: out-of-memory" "$out/$name.log" && kind=oom
    [ "$kind" != oom ] && touch "$out/$name.caught"
    awk -v s="$start" -v e="$end" -v k="$kind" \
        'BEGIN { printf k == "oom" ? "oom at %.0fs, not counted\n" : k == "crash" ? "%.1f s\n" : "%.1f s (hang)\n", e - s }' \
        >"$out/$name.result"
}

evaluate_fault() {
    local out="$1"
    # The tests run where ctest runs them; they take seconds, but a fault can make one loop for ever.
    (cd "$build/tests" && timeout "$test_seconds" "$out/bin/kestrum_interpreter_tests" --gtest_brief=1) >"$out/tests.log" 2>&1
    local status=$?
    sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_]*\.[A-Za-z0-9_]*\).*/\1/p' "$out/tests.log" | sort -u >"$out/failed"
    if [ $status -eq 124 ]; then
        echo "(hung, stopped after ${test_seconds}s)" >>"$out/failed"
    elif [ $status -ne 0 ] && [ ! -s "$out/failed" ]; then
        echo "(crashed)" >"$out/failed"
    fi
    local pids=()
    for target in $targets; do
        run_fuzzer "$out" "$target" &
        pids+=($!)
    done
    wait "${pids[@]}"
    rm -rf "$out/bin" "$out"/corpus-*
    echo done >"$out/status"
}

wait_for_room() {
    while [ "$(jobs -rp | wc -l)" -ge "$1" ]; do wait -n; done
}

mkdir -p "$scratch/clean"
snapshot
sync_tree
configure || { echo "configure failed" >&2; exit 1; }
for patch in "${patches[@]}"; do
    fault="$(basename "$patch" .patch)"
    out="$scratch/results/$fault"
    mkdir -p "$out"
    echo "== $fault: building" >&2
    build_fault "$patch" "$out" || { echo "   $(cat "$out/status")" >&2; continue; }
    # A fault builds in seconds (one file and the links): the builder takes no place of its own.
    wait_for_room "$parallel"
    echo "== $fault: testing and fuzzing" >&2
    evaluate_fault "$out" &
done
wait

missed=0
printf '| %-34s | %-46s | %-22s | %-22s |\n' fault "tests that caught it" fuzz_region_bodies fuzz_region_scripts
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..36})" "$(printf -- '-%.0s' {1..48})" \
    "$(printf -- '-%.0s' {1..24})" "$(printf -- '-%.0s' {1..24})"
for patch in "${patches[@]}"; do
    fault="$(basename "$patch" .patch)"
    out="$scratch/results/$fault"
    if [ "$(cat "$out/status" 2>/dev/null)" != done ]; then
        printf '| %-34s | %-46s | %-22s | %-22s |\n' "$fault" "$(cat "$out/status" 2>/dev/null)" - -
        missed=1
        continue
    fi
    count=$(grep -c . "$out/failed")
    names=$(paste -sd, "$out/failed")
    tests="$count${names:+: $names}"
    bodies=$(cat "$out/region_bodies.result")
    scripts=$(cat "$out/region_scripts.result")
    printf '| %-34s | %-46s | %-22s | %-22s |\n' "$fault" "$tests" "$bodies" "$scripts"
    caught=0
    [ "$count" -gt 0 ] && caught=1
    ls "$out"/*.caught >/dev/null 2>&1 && caught=1
    if [ "$fault" = none ]; then
        [ "$caught" = 1 ] && { echo "the tree without a patch fails" >&2; missed=1; }
    elif [ "$caught" = 0 ]; then
        missed=1
    fi
done
exit $missed
