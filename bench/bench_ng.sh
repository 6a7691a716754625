#!/usr/bin/env bash
# Whole-process timings of the ng run (menu mode, answers on standard input):
# families4, then 4000 synthetic sequences of about 400 residues with a classification file,
# measured against writing the same number of bytes to the same disk with dd, and against
# scikit-learn's CountVectorizer on the same sequences when it is installed. Best of 5 runs
# (3 for CountVectorizer, which takes seconds).
# usage: bash bench/bench_ng.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/common.sh" "${1:-build-bench}"
RUNS=5

# best_of LABEL COMMAND...: runs COMMAND $RUNS times in the current folder; prints the least
# elapsed time with its peak resident size and the least processor time (user + system), and
# leaves them in BEST_S, BEST_KB and BEST_CPU. On a shared machine the processor time is the
# steadier figure. The files named in $BENCH_FRESH are removed before each run: truncating the
# files of the previous run would wait for the disk to finish writing them, which times the
# previous run's disk traffic rather than this run.
best_of() {
  local label=$1; shift
  BEST_S=""; BEST_KB=""; BEST_CPU=""
  for _ in $(seq "$RUNS"); do
    # shellcheck disable=SC2086
    [ -n "${BENCH_FRESH:-}" ] && rm -f $BENCH_FRESH
    local s kb u sy cpu TIMEFORMAT='%3R %3U %3S'
    # The shell's clock gives milliseconds (time's own figures come in 10 ms steps, too coarse
    # for dd); time gives the peak resident size.
    if ! { time /usr/bin/time -f "%M" -o "$BENCH_TMP/time.txt" "$@" < "${BENCH_STDIN:-/dev/null}" \
        > /dev/null 2> "$BENCH_TMP/stderr.txt"; } 2> "$BENCH_TMP/shell_time.txt"; then
      cat "$BENCH_TMP/stderr.txt" >&2
      return 1
    fi
    read -r s u sy < "$BENCH_TMP/shell_time.txt"
    read -r kb < "$BENCH_TMP/time.txt"
    cpu=$(awk -v u="$u" -v s="$sy" 'BEGIN{printf "%.3f", u + s}')
    if [ -z "$BEST_S" ] || awk -v a="$s" -v b="$BEST_S" 'BEGIN{exit !(a < b)}'; then
      BEST_S=$s; BEST_KB=$kb
    fi
    if [ -z "$BEST_CPU" ] || awk -v a="$cpu" -v b="$BEST_CPU" 'BEGIN{exit !(a < b)}'; then
      BEST_CPU=$cpu
    fi
  done
  printf '%s: %s s, %s KB peak, %s s processor (best of %d)\n' "$label" "$BEST_S" "$BEST_KB" \
    "$BEST_CPU" "$RUNS"
}

# families4: 370 real sequences, 4 families.
mkdir -p "$BENCH_TMP/f4" && cd "$BENCH_TMP/f4"
printf 'ng\n%s\n%s\nctx.txt\n' "$BENCH_ROOT/data/Sample.txt" "$BENCH_ROOT/data/Sample.classes.txt" > answers
BENCH_FRESH="contexte.txt ctx.txt contextedat.dat" BENCH_STDIN=answers best_of "ng families4 (370 sequences)" "$BENCH_PROG"
echo "ng families4 target: < 0.1 s"

# 4000 synthetic sequences: 10 families of 400, about 400 residues each (the set of every approach).
gen_set "$BENCH_TMP/syn" 1 10 400 400
cd "$BENCH_TMP/syn"
printf 'ng\nseq.txt\nclasses.txt\nctx.txt\n' > answers
BENCH_FRESH="contexte.txt ctx.txt contextedat.dat" BENCH_STDIN=answers best_of "ng synthetic 4000 x 400" "$BENCH_PROG"
NG_S=$BEST_S; NG_KB=$BEST_KB; NG_CPU=$BEST_CPU
bytes=$(( $(stat -c %s contexte.txt) + $(stat -c %s ctx.txt) + $(stat -c %s contextedat.dat) ))
echo "ng synthetic output: $bytes bytes in the three files"
BENCH_FRESH="$BENCH_TMP/syn/zero.bin" best_of "dd writing $bytes bytes to the same disk" \
  dd if=/dev/zero of="$BENCH_TMP/syn/zero.bin" bs=1M count="$bytes" iflag=count_bytes
rm -f "$BENCH_TMP/syn/zero.bin"
awk -v a="$NG_S" -v b="$BEST_S" -v ca="$NG_CPU" -v cb="$BEST_CPU" -v kb="$NG_KB" 'BEGIN{
  printf "ng synthetic / dd write: %.2fx elapsed, %.2fx processor (target: within 3x); peak %.1f MB (target: < 200 MB)\n",
         (b > 0 ? a / b : 0), (cb > 0 ? ca / cb : 0), kb / 1024 }'

# The tool a user would reach for instead: binary character 3-gram counts of the same sequences.
# The system's Python (where the Debian package installs it) first, then the one on the PATH.
PYTHON=""
for candidate in /usr/bin/python3 python3; do
  if "$candidate" -c 'import sklearn' 2>/dev/null; then PYTHON=$candidate; break; fi
done
if [ -n "$PYTHON" ]; then
  cat > "$BENCH_TMP/sk.py" <<'PY'
import sys
from sklearn.feature_extraction.text import CountVectorizer
seqs, cur = [], None
for line in open(sys.argv[1]):
    if line.startswith('>'):
        if cur is not None: seqs.append(''.join(cur))
        cur = []
    elif cur is not None:
        cur.append(line.strip().upper())
if cur is not None: seqs.append(''.join(cur))
m = CountVectorizer(analyzer='char', ngram_range=(3, 3), binary=True, lowercase=False).fit_transform(seqs)
print(m.shape)
PY
  RUNS=3 BENCH_STDIN=/dev/null best_of "CountVectorizer(char 3-grams, binary) on synthetic 4000 x 400" \
    "$PYTHON" "$BENCH_TMP/sk.py" seq.txt
  awk -v a="$NG_S" -v b="$BEST_S" -v ca="$NG_CPU" -v cb="$BEST_CPU" 'BEGIN{
    printf "ng (three files written) / CountVectorizer (sparse matrix in memory): %.2fx elapsed, %.2fx processor\n",
           (b > 0 ? a / b : 0), (cb > 0 ? ca / cb : 0) }'
else
  echo "CountVectorizer comparison skipped: python3-sklearn is not installed"
fi
