# Helpers shared by the benchmark scripts (sourced as: source bench/common.sh BUILD_DIR).
BENCH_BUILD=$(realpath "${1:-build-bench}")
BENCH_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BENCH_PROG="$BENCH_ROOT/build-bench/protfeat"
[ -x "$BENCH_BUILD/protfeat" ] && BENCH_PROG="$BENCH_BUILD/protfeat"
BENCH_TMP=$(mktemp -d)
trap 'rm -rf "$BENCH_TMP"' EXIT

# measure LABEL COMMAND...: runs COMMAND once (standard output and error discarded; standard
# input from $BENCH_STDIN when set) and prints "LABEL: <seconds> s, <peak KB> KB peak".
measure() {
  local label=$1; shift
  local input=${BENCH_STDIN:-/dev/null}
  /usr/bin/time -f "%e %M" -o "$BENCH_TMP/time.txt" "$@" < "$input" > /dev/null 2> "$BENCH_TMP/stderr.txt" || true
  local secs kb
  read -r secs kb < "$BENCH_TMP/time.txt"
  printf '%s: %s s, %s KB peak\n' "$label" "$secs" "$kb"
}

# gen_set DIR SEED FAMILIES PER_FAMILY LENGTH: a synthetic set in DIR/seq.txt, DIR/classes.txt.
gen_set() {
  mkdir -p "$1"
  "$BENCH_BUILD/gen_families" "$2" "$3" "$4" "$5" "$1/seq.txt" "$1/classes.txt"
}
