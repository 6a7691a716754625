#!/usr/bin/env bash
# Whole-process timings of the dd run; docs/PERFORMANCE.md (section "dd") quotes them.
#   bash bench/bench_dd.sh BUILD_DIR      (BUILD_DIR configured with -DPROTFEAT_BENCH=ON)
# Set DD_BENCH_SKIP_LITERAL=1 to leave out the literal reference (about a minute on its own).
set -euo pipefail
source "$(dirname "$0")/common.sh" "${1:-build-bench}"

# families4: the real set bundled as data/Sample.txt.
mkdir -p "$BENCH_TMP/families4"
cp "$BENCH_ROOT/data/Sample.txt" "$BENCH_TMP/families4/seq.fa"
cp "$BENCH_ROOT/data/Sample.classes.txt" "$BENCH_TMP/families4/classes.txt"
(cd "$BENCH_TMP/families4" &&
  measure "dd families4 (370 proteins), ALPHA 0.8 BETA 0.1" \
    "$BENCH_PROG" dd classes.txt seq.fa Context.arff 0.8 0.1)

# 4000 synthetic sequences of about 400 residues in 10 families.
gen_set "$BENCH_TMP/syn4000" 1 10 400 400
(cd "$BENCH_TMP/syn4000" &&
  measure "dd 4000 synthetic sequences x ~400 residues, 10 families, ALPHA 0.8 BETA 0.1" \
    "$BENCH_PROG" dd classes.txt seq.txt Context.arff 0.8 0.1 &&
  measure "dd 4000 synthetic sequences x ~400 residues, 10 families, ALPHA 0.2 BETA 0.5" \
    "$BENCH_PROG" dd classes.txt seq.txt Context.arff 0.2 0.5)

# The literal reference (tests/reference) against the program: 160 sequences of ~100 residues.
if [ "${DD_BENCH_SKIP_LITERAL:-0}" != 1 ]; then
  gen_set "$BENCH_TMP/literal" 7 4 40 100
  (cd "$BENCH_TMP/literal" &&
    measure "dd literal reference, 160 synthetic sequences x ~100 residues, 4 families, ALPHA 0.8 BETA 0.1" \
      "$BENCH_BUILD/dd_literal" classes.txt seq.txt 0.8 0.1 literal-LesDDs.txt &&
    measure "dd protfeat on the same set" \
      "$BENCH_PROG" dd classes.txt seq.txt Context.arff 0.8 0.1 &&
    measure "dd protfeat on the same set, 50 runs in a row" \
      bash -c 'for i in $(seq 50); do "$0" dd classes.txt seq.txt Context.arff 0.8 0.1 > /dev/null; done' "$BENCH_PROG" &&
    if cmp -s literal-LesDDs.txt LesDDs.txt; then echo "dd literal and protfeat reports: identical"
    else echo "dd literal and protfeat reports: DIFFERENT"; fi)
fi
