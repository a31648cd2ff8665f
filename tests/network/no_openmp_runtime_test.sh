#!/bin/bash
# Training's threads are the engine's own: no program calls into an OpenMP runtime or loads LLVM's
# (whose settings and failed thread starts end a program). The desktop may still load GCC's through
# a library of its own; nothing of ours calls it.
# Usage: no_openmp_runtime_test.sh PROGRAM...
status=0
for program in "$@"; do
  calls="$(nm -D --undefined-only "$program" | grep -E ' (GOMP_|omp_|__kmpc_|kmp_)' | head -n 5)"
  if [ -n "$calls" ]; then
    echo "FAIL: $program calls an OpenMP runtime:"
    echo "$calls"
    status=1
  fi
  if ldd "$program" | grep -qE 'lib(i?omp|omp5)\.so'; then
    echo "FAIL: $program loads LLVM's OpenMP runtime"
    status=1
  fi
done
[ "$#" -gt 0 ] || { echo "FAIL: no program given"; status=1; }
[ "$status" -eq 0 ] && echo "ok: $# programs, no OpenMP runtime of ours"
exit "$status"
