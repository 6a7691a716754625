#!/usr/bin/env bash
# Times the workflow steps of two builds alternately on one synthetic set, and compares their
# outputs: the same-machine comparison recorded in docs/PERFORMANCE.md.
# usage: bash bench/compare.sh BASE_PROGRAM NEW_PROGRAM SEQUENCES FAMILIES [ROUNDS]
#   e.g. bash bench/compare.sh /tmp/base/build-bench/protfeat build-bench/protfeat 1000000 1000 2
# (the base built from an older commit: git worktree add /tmp/base COMMIT, then
# cmake -S /tmp/base -B /tmp/base/build-bench -DCMAKE_BUILD_TYPE=Release -DPROTFEAT_BENCH=ON
# -DPROTFEAT_TESTS=OFF && cmake --build /tmp/base/build-bench --target protfeat gen_scale)
set -euo pipefail
base=$(realpath "$1") new=$(realpath "$2") n=$3 families=$4 rounds=${5:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$(dirname "$new")/gen_scale" "$n" "$families" 1 "$work/s" > /dev/null
cd "$work"
step() {  # step BUILD NAME COMMAND...: one timed run
  local build=$1 name=$2; shift 2
  /usr/bin/time -f "%e %U %S %M" -o time.txt "$@" > /dev/null 2>&1 || true
  read -r wall user sys kb < time.txt
  printf '%s\t%s\t%s s elapsed\t%.2f s processor\t%d MB\n' "$build" "$name" "$wall" \
    "$(echo "$user + $sys" | bc)" $((kb / 1024))
}
for ((r = 0; r < rounds; r++)); do
  for build in base new; do
    p=$base; [ $build = new ] && p=$new
    step $build "mine ma" "$p" mine ma -i s.fa -o $build.ma.tsv
    step $build "mine ng" "$p" mine ng -i s.fa -l s.labels.tsv -o $build.ng.tsv
    step $build "encode ng" "$p" encode -f $build.ng.tsv -i s.fa -l s.labels.tsv -o $build.ng.libsvm
    step $build "mine dd" "$p" mine dd -i s.fa -l s.labels.tsv -o $build.dd.tsv --alpha 0.5 --beta 0.1
    step $build "encode dd" "$p" encode -f $build.dd.tsv -i s.fa -l s.labels.tsv -o $build.dd.libsvm
  done
done
for f in ma.tsv ng.tsv ng.libsvm dd.tsv dd.libsvm; do
  if cmp -s base.$f new.$f; then echo "same $f"; else echo "different $f"; fi
done
