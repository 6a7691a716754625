#!/usr/bin/env bash
# Runs the dd approach on the bundled sample into demo/ and says what it wrote.
set -euo pipefail
prog=$(realpath "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$root/demo"
cd "$root/demo"
"$prog" dd "$root/data/Sample.classes.txt" "$root/data/Sample.txt" Context.arff 0.5 0.2 > console.txt
echo "dd on data/Sample.txt (ALPHA 0.5, BETA 0.2) wrote, in demo/:"
for f in SeqFile.seq LesDDs.txt Context.arff console.txt; do
  printf '  %-14s %8d bytes\n' "$f" "$(wc -c < "$f")"
done
echo "descriptors found: $(grep -c '^@attribute' Context.arff | awk '{print $1 - 1}')"
