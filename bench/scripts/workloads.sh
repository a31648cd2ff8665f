# The benchmark workloads, sourced by the scripts that run them. Two sets: "tuned", the seven the
# compiled loops were first made for, and "shapes", thirteen of other shapes (built-in functions,
# Float and String work, output, files, And chains, calls, matrices). The whole-matrix workload
# measures the matrix library more than the interpreter: it stays out of its set's geometric mean.
tuned=(loop sieve collatz calls strings matrix members)
shapes=(builtins harmonic printing insertion mandelbrot primes life bubble floatstep gcd files relax wholematrix)
outside_mean=" wholematrix "

# workloads := the workloads that the names given stand for (a set name, or one workload); none
# given: both sets.
pick_workloads() {
  workloads=()
  local w name
  for w in "${@:-tuned shapes}"; do
    for name in $w; do
      case $name in
        tuned) workloads+=("${tuned[@]}") ;;
        shapes) workloads+=("${shapes[@]}") ;;
        *) workloads+=("$name") ;;
      esac
    done
  done
}

# Whether the file $2 holds what workload $1 prints: its .expected text, or for a long output the
# md5 sum in its .md5 file.
printed_right() {
  local scripts
  scripts=$(dirname "${BASH_SOURCE[0]}")
  if [ -f "$scripts/$1.expected" ]; then
    cmp -s "$2" "$scripts/$1.expected"
  else
    [ "$(md5sum < "$2" | cut -d' ' -f1)" = "$(cat "$scripts/$1.md5")" ]
  fi
}
