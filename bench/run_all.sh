#!/usr/bin/env bash
# Runs every whole-process benchmark script bench/bench_*.sh with the benchmark build folder,
# then the micro-benchmarks bench/*_benchmark.cpp built there.
set -euo pipefail
build=$(realpath "${1:-build-bench}")
here=$(cd "$(dirname "$0")" && pwd)
echo "machine: $(nproc) cores, $(free -g | awk '/Mem:/{print $2}') GiB, $(uname -sr)"
echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
for script in "$here"/bench_*.sh; do
  [ -e "$script" ] || continue
  echo "== $(basename "$script")"
  bash "$script" "$build"
done
for bin in "$build"/*_benchmark; do
  [ -x "$bin" ] || continue
  echo "== $(basename "$bin")"
  "$bin" --benchmark_min_time=0.2
done
