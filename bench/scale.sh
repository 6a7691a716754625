#!/usr/bin/env bash
# The scale benchmarks: large synthetic sets (bench/tools/gen_scale.cpp: 100,000 sequences in 100
# families and 1,000,000 in 1000), each workflow step timed as a whole process with
# /usr/bin/time -v (wall time, peak resident memory), and the table written into
# docs/PERFORMANCE.md between its scale markers (the rest of the file is kept).
#
# usage: bash bench/scale.sh [BUILD_DIR]      (make bench-scale; BUILD_DIR defaults to build-bench)
# environment: SCALE_SIZES  the sets as "SEQUENCES:FAMILIES ..." (default "100000:100 1000000:1000")
#              SCALE_DATA   the folder that holds the sets and outputs while they are needed
#                           (default BUILD_DIR; a fresh folder inside it, removed at the end)
#              SCALE_TIMEOUT  seconds before a step is stopped (default 1800)
#              SCALE_REPEATS  runs of each step, the median kept (default 3)
#              SCALE_DOC    the document to update (default docs/PERFORMANCE.md; "-" prints only)
# Steps that the program does not offer yet are listed as such; a failed step is listed with its
# status, and the script goes on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-build-bench}")
sizes=${SCALE_SIZES:-"100000:100 1000000:1000"}
limit=${SCALE_TIMEOUT:-1800}
repeats=${SCALE_REPEATS:-3}
doc=${SCALE_DOC:-$root/docs/PERFORMANCE.md}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPROTFEAT_BENCH=ON -DPROTFEAT_TESTS=OFF > /dev/null
cmake --build "$build" -j 2 --target protfeat gen_scale ma_scale > /dev/null
prog=$build/protfeat
mkdir -p "${SCALE_DATA:-$build}"
data=$(mktemp -d "${SCALE_DATA:-$build}/scale.XXXXXX")
trap 'rm -rf "$data"' EXIT
results=$data/results.txt
: > "$results"

have_workflow=no
"$prog" mine --help > /dev/null 2>&1 && have_workflow=yes
have_sklearn=no
/usr/bin/python3 -c 'import sklearn' > /dev/null 2>&1 && have_sklearn=yes

# timed SET STEP TARGET COMMAND...: runs COMMAND once and appends
# SET, STEP, seconds, peak KB, status, TARGET to the results.
timed() {
  local set=$1 step=$2 target=$3; shift 3
  local status=0 run walls=() wall kb
  # Runs vary by a tenth or more from one to the next: each step is run $repeats times and the
  # median time is kept (with the peak of the last run). The writes of the step before are
  # flushed first, so that they do not land in this one's time.
  for ((run = 0; run < repeats; ++run)); do
    sync
    /usr/bin/time -v -o "$data/time.txt" timeout "$limit" "$@" > "$data/step.out" 2> "$data/step.err" || status=$?
    walls+=("$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0;
             for (i = 1; i <= n; ++i) s = s * 60 + t[i]; printf "%.2f", s }' "$data/time.txt")")
    [ "$status" = 0 ] || break
  done
  wall=$(printf '%s\n' "${walls[@]}" | sort -g | awk '{ w[NR] = $1 } END { print w[int((NR + 1) / 2)] }')
  kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$data/time.txt")
  [ "$status" = 124 ] && status=timeout
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$set" "$step" "$wall" "$kb" "$status" "$target" >> "$results"
  printf '%s, %s: %s s (of %s), %s KB peak, status %s\n' "$set" "$step" "$wall" "${walls[*]}" "$kb" "$status"
}
commas() { echo "$1" | sed -e ':a' -e 's/\B[0-9]\{3\}\>/,&/' -e 'ta'; }
absent() {
  printf '%s\t%s\t-\t-\t%s\t%s\n' "$1" "$2" "$3" "$4" >> "$results"
  printf '%s, %s: %s\n' "$1" "$2" "$3"
}

cat > "$data/count_vectorizer.py" << 'EOF'
import sys
from sklearn.feature_extraction.text import CountVectorizer
seqs, cur = [], []
with open(sys.argv[1]) as f:
    for line in f:
        if line.startswith('>'):
            if cur or seqs:
                seqs.append(''.join(cur))
            cur = []
        else:
            cur.append(line.strip())
seqs.append(''.join(cur))
m = CountVectorizer(analyzer='char', ngram_range=(3, 3), binary=True, lowercase=False).fit_transform(seqs)
print(m.shape, m.nnz)
EOF

declare -A residues
for pair in $sizes; do
  n=${pair%%:*}
  f=${pair##*:}
  set="$(commas "$n") x $(commas "$f")"
  p=$data/s$n
  timed "$set" "generate (gen_scale)" "well under a minute" "$build/gen_scale" "$n" "$f" 1 "$p"
  residues[$set]=$(awk '!/^>/ { r += length($0) } END { print r }' "$p.fa")

  if [ "$n" -le 100000 ]; then ma_target="< 30 s"; else ma_target="< 5 min, < 12 GB"; fi
  timed "$set" "ma engine alone (ma_scale, Minsam N/4)" "$ma_target" "$build/ma_scale" "$p.fa" "$data/motifs.txt"
  grep -E '^(index|walk|min sequences)' "$data/step.out" | sed 's/^/  /'

  if [ "$have_workflow" = yes ]; then
    timed "$set" "mine ma" "$ma_target" "$prog" mine ma -i "$p.fa" -o "$data/ma.tsv"
    if [ "$n" -le 100000 ]; then ng_target="< 5 s (mine + encode)"; else ng_target="< 60 s, < 4 GB (mine + encode)"; fi
    timed "$set" "mine ng" "$ng_target" "$prog" mine ng -i "$p.fa" -l "$p.labels.tsv" -o "$data/ng.tsv"
    timed "$set" "encode ng to LibSVM" "$ng_target" "$prog" encode -f "$data/ng.tsv" -i "$p.fa" -l "$p.labels.tsv" -o "$data/ng.libsvm"
    rm -f "$data/ng.libsvm"
    # Counts and tf-idf at the largest set (target: at most 1.3 times the binary table's time).
    if [ "$n" -gt 100000 ]; then
      for values in count tfidf; do
        timed "$set" "encode ng to LibSVM, --values $values" "< 1.3x binary" "$prog" encode -f "$data/ng.tsv" -i "$p.fa" -l "$p.labels.tsv" --values $values -o "$data/ng.libsvm"
        rm -f "$data/ng.libsvm"
      done
    fi
    if [ "$n" -le 100000 ]; then dd_target="< 20 s, < 2 GB"; else dd_target="< 5 min, < 12 GB"; fi
    timed "$set" "mine dd --alpha 0.5 --beta 0.1" "$dd_target" "$prog" mine dd -i "$p.fa" -l "$p.labels.tsv" -o "$data/dd.tsv" --alpha 0.5 --beta 0.1
    if [ -s "$data/dd.tsv" ]; then
      # The header lines and the first 1000 descriptors.
      awk '/^#/ { print; next } ++k <= 1000' "$data/dd.tsv" > "$data/dd1000.tsv"
      k=$(grep -vc '^#' "$data/dd1000.tsv" || true)
      if [ "$n" -le 100000 ]; then enc_target="< 3 s"; else enc_target="< 30 s"; fi
      timed "$set" "encode $k descriptors to LibSVM" "$enc_target" "$prog" encode -f "$data/dd1000.tsv" -i "$p.fa" -l "$p.labels.tsv" -o "$data/dd.libsvm"
      rm -f "$data/dd.libsvm"
      if [ "$n" -gt 100000 ]; then
        for values in count tfidf; do
          timed "$set" "encode $k descriptors to LibSVM, --values $values" "< 1.3x binary" "$prog" encode -f "$data/dd1000.tsv" -i "$p.fa" -l "$p.labels.tsv" --values $values -o "$data/dd.libsvm"
          rm -f "$data/dd.libsvm"
        done
      fi
    else
      absent "$set" "encode 1000 descriptors to LibSVM" "no dd features" ""
    fi
  else
    for step in "mine ma" "mine ng" "encode ng to LibSVM" "mine dd --alpha 0.5 --beta 0.1" "encode 1000 descriptors to LibSVM"; do
      absent "$set" "$step" "not in this build" ""
    done
  fi

  if [ "$n" -le 100000 ]; then
    if [ "$have_sklearn" = yes ]; then
      timed "$set" "scikit-learn CountVectorizer, char 3-grams, binary" "" /usr/bin/python3 "$data/count_vectorizer.py" "$p.fa"
    else
      absent "$set" "scikit-learn CountVectorizer, char 3-grams, binary" "not installed" ""
    fi
  fi
  rm -f "$p".* "$data"/*.tsv "$data/motifs.txt"
done

# The table, in Markdown.
table=$data/table.md
{
  echo "<!-- scale:begin (written by bench/scale.sh; edits here are overwritten) -->"
  echo
  echo "Run of \`make bench-scale\` on $(date -u '+%Y-%m-%d %H:%M UTC'): $(nproc) cores, $(free -g | awk '/Mem:/{print $2}') GiB,"
  echo "$(uname -sr), Release build. Each step is one process timed with \`/usr/bin/time -v\` (the"
  echo "median of $repeats runs); bytes a residue are its peak resident memory divided by the residues"
  echo "of the set."
  echo
  echo "| set (sequences x families) | residues | step | time | peak memory | bytes a residue | target |"
  echo "|---|---:|---|---:|---:|---:|---|"
  while IFS=$'\t' read -r set step wall kb status target; do
    raw=${residues[$set]}
    r=$(commas "$raw")
    if [ "$wall" = "-" ]; then
      echo "| $set | $r | $step | $status | | | $target |"
      continue
    fi
    note=""
    [ "$status" != 0 ] && note=" ($status)"
    awk -v s="$set" -v r="$r" -v raw="$raw" -v st="$step" -v w="$wall" -v kb="$kb" -v t="$target" -v note="$note" 'BEGIN {
      mem = kb >= 1048576 ? sprintf("%.2f GB", kb / 1048576) : sprintf("%.0f MB", kb / 1024)
      printf "| %s | %s | %s | %.2f s%s | %s | %.1f | %s |\n", s, r, st, w, note, mem, kb * 1024 / raw, t }'
  done < "$results"
  # The growth of every step from the smallest set to the largest (the target: at most 12-fold).
  echo
  echo "Growth in time from the smallest set to the largest (target: at most 12-fold):"
  echo
  awk -F'\t' '$5 == 0 && $3 != "-" { step = $2; sub(/ [0-9]+ descriptors/, " the descriptors", step)
      if (!(step in first)) { first[step] = $3; order[++n] = step } last[step] = $3 }
    END { for (i = 1; i <= n; ++i) { s = order[i]; if (last[s] != first[s] && first[s] > 0)
      printf "- %s: %.1f-fold\n", s, last[s] / first[s] }
      # The target takes mining the n-grams and encoding them as one run.
      a = "mine ng"; b = "encode ng to LibSVM"
      if ((a in first) && (b in first) && first[a] + first[b] > 0)
        printf "- mine ng then encode to LibSVM, as one run: %.1f-fold\n",
          (last[a] + last[b]) / (first[a] + first[b]) }' "$results"
  # Counts and tf-idf against the binary table of the same step and set (target: at most 1.3x).
  awk -F'\t' '$5 == 0 && $3 != "-" { t[$1 "\t" $2] = $3
      if (match($2, /, --values [a-z]+$/)) { base[++n] = $1 "\t" substr($2, 1, RSTART - 1); key[n] = $1 "\t" $2 } }
    END { if (n > 0) print "\nValues against binary (target: at most 1.3 times):\n"
      for (i = 1; i <= n; ++i) if ((base[i] in t) && t[base[i]] > 0) {
        split(key[i], k, "\t"); printf "- %s, %s: %.2fx\n", k[1], k[2], t[key[i]] / t[base[i]] } }' "$results"
  echo
  echo "<!-- scale:end -->"
} > "$table"
cat "$table"

if [ "$doc" != "-" ]; then
  if grep -q '<!-- scale:begin' "$doc"; then
    awk -v table="$table" '
      /<!-- scale:begin/ { while ((getline line < table) > 0) print line; skip = 1; next }
      /<!-- scale:end/ { skip = 0; next }
      !skip' "$doc" > "$data/doc.md"
  else
    { cat "$doc"; echo; echo "## Scale"; echo; cat "$table"; } > "$data/doc.md"
  fi
  cp "$data/doc.md" "$doc"
  echo "table written into $doc"
fi
