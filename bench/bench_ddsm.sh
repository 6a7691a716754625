#!/usr/bin/env bash
# Whole ddsm runs (answers piped on standard input): families4, and a synthetic set of 4000
# sequences (10 families of 400, about 400 residues each) with and without a test file.
set -euo pipefail
source "$(dirname "$0")/common.sh" "$1"

# answers SEQ CLASSES TEST TESTCLASSES ALPHA BETA MATRIX SCORE
answers() {
  printf 'ddsm\n%s\n%s\n%s\n' "$1" "$2" "$3"
  [ -n "$3" ] && printf '%s\n' "$4"
  printf '%s\n%s\n%s\n%s\nlist.txt\n' "$5" "$6" "$7" "$8"
  [ -n "$3" ] && printf 'test.arff\n'
  return 0
}

cd "$BENCH_TMP"
answers "$BENCH_ROOT/data/Sample.txt" "$BENCH_ROOT/data/Sample.classes.txt" "" "" 0.8 0.1 2 0.5 > in1.txt
BENCH_STDIN=in1.txt measure "ddsm families4 (370 seq, 0.8/0.1, BLOSUM62, 0.5)" "$BENCH_PROG"
echo "  kept: $(wc -l < list.txt) descriptors"
answers "$BENCH_ROOT/data/Sample.txt" "$BENCH_ROOT/data/Sample.classes.txt" "" "" 0.5 0.3 6 0.3 > in2.txt
BENCH_STDIN=in2.txt measure "ddsm families4 (370 seq, 0.5/0.3, PAM250, 0.3)" "$BENCH_PROG"
echo "  kept: $(wc -l < list.txt) descriptors"
answers "$BENCH_ROOT/data/Sample.txt" "$BENCH_ROOT/data/Sample.classes.txt" "" "" 0.05 0.5 2 0.5 > in2b.txt
BENCH_STDIN=in2b.txt measure "ddsm families4 (370 seq, 0.05/0.5, BLOSUM62, 0.5)" "$BENCH_PROG"
echo "  kept: $(wc -l < list.txt) descriptors"

gen_set syn 1 10 400 400
# The test set: the first 400 sequences of the synthetic set with their labels.
awk '/^>/{n++} n<=400' syn/seq.txt > syn/test.txt
awk 'NR<=3+10+1 || (NR>14 && NR<=14+400)' syn/classes.txt > syn/test_classes.txt
answers syn/seq.txt syn/classes.txt "" "" 0.8 0.1 2 0.5 > in3.txt
BENCH_STDIN=in3.txt measure "ddsm synthetic (4000 seq x ~400, 0.8/0.1, BLOSUM62, 0.5)" "$BENCH_PROG"
echo "  kept: $(wc -l < list.txt) descriptors"
answers syn/seq.txt syn/classes.txt "" "" 0.1 0.9 2 0.5 > in3b.txt
BENCH_STDIN=in3b.txt measure "ddsm synthetic (4000 seq x ~400, 0.1/0.9, BLOSUM62, 0.5)" "$BENCH_PROG"
echo "  kept: $(wc -l < list.txt) descriptors"
answers syn/seq.txt syn/classes.txt syn/test.txt syn/test_classes.txt 0.5 0.2 2 0.5 > in4.txt
BENCH_STDIN=in4.txt measure "ddsm synthetic + 400 test seq (0.5/0.2, BLOSUM62, 0.5)" "$BENCH_PROG"
echo "  kept: $(wc -l < list.txt) descriptors, test context $(wc -c < test.arff) bytes"
