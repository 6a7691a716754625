#!/usr/bin/env bash
# Whole-process timings of the ma run: the real families4 set, the synthetic 4000-sequence set
# (10 families of 400, about 400 residues), a 5000-sequence set (sample of 4000 plus the rest),
# and the literal search (dynamic-programming match for every test) against the program on a
# set where the literal one takes about a minute, with the ratio of the two.
# usage: bash bench/bench_ma.sh BUILD_DIR   (BUILD_DIR from `make bench`: build-bench)
set -euo pipefail
source "$(dirname "$0")/common.sh" "${1:-build-bench}"

# timed LABEL COMMAND...: like measure, with the processor time (user + system) as well, which
# a busy machine disturbs less than the elapsed time; stdin from $BENCH_STDIN when set.
timed() {
  local label=$1; shift
  /usr/bin/time -f "%e %U %S %M" -o "$BENCH_TMP/cpu.txt" "$@" < "${BENCH_STDIN:-/dev/null}" \
    > /dev/null 2> "$BENCH_TMP/stderr.txt" || true
  read -r wall user sys kb < "$BENCH_TMP/cpu.txt"
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
  printf '%s: %s s, %s s CPU, %s KB peak\n' "$label" "$wall" "$cpu" "$kb"
}

# ma_case LABEL DIR SEQ_FILE: one menu run of ma in DIR, list written to DIR/list.txt.
ma_case() {
  printf 'ma\n%s\n\nlist.txt\n' "$3" > "$2/answers.txt"
  (cd "$2" && BENCH_STDIN="$2/answers.txt" timed "$1" "$BENCH_PROG")
}
cpu_seconds() { awk '{ printf "%.2f", $2 + $3 }' "$BENCH_TMP/cpu.txt"; }

# The real families: the bundled sample.
mkdir -p "$BENCH_TMP/f4"
cp "$BENCH_ROOT/data/Sample.txt" "$BENCH_TMP/f4/sequences.fa"
ma_case "ma families4 (370 sequences)" "$BENCH_TMP/f4" sequences.fa

gen_set "$BENCH_TMP/s4000" 1 10 400 400
ma_case "ma synthetic 4000 x ~400" "$BENCH_TMP/s4000" seq.txt

gen_set "$BENCH_TMP/s5000" 1 10 500 400
ma_case "ma synthetic 5000 x ~400 (4000 sampled)" "$BENCH_TMP/s5000" seq.txt

# Copies of one sequence (mutation rate 0): every string is held by every sequence, so every
# interval of the index passes.
mkdir -p "$BENCH_TMP/copies"
"$BENCH_BUILD/gen_families" 2 1 4000 400 "$BENCH_TMP/copies/seq.txt" "$BENCH_TMP/copies/cls.txt" 0
ma_case "ma 4000 copies of one sequence of 400" "$BENCH_TMP/copies" seq.txt

gen_set "$BENCH_TMP/lit" 7 4 240 600
timed "literal search, 960 x ~600" "$BENCH_BUILD/ma_literal" "$BENCH_TMP/lit/seq.txt" \
  "$BENCH_TMP/lit/literal.txt"
literal=$(cpu_seconds)
ma_case "ma, same set" "$BENCH_TMP/lit" seq.txt
fast=$(cpu_seconds)
if cmp -s "$BENCH_TMP/lit/literal.txt" "$BENCH_TMP/lit/list.txt"; then same=yes; else same=NO; fi
awk -v l="$literal" -v f="$fast" -v s="$same" \
  'BEGIN { printf "ratio literal / program (CPU): %.0f (motif lists identical: %s)\n", l / (f > 0.01 ? f : 0.01), s }'
