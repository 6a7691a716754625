#!/usr/bin/env bash
# The workflow on the bundled sample, into demo/: a training and a test part, dd descriptors
# mined on the training part only, both parts encoded with them, J48 trained on one and scored
# on the other (when Weka is installed); then 5 stratified folds done the same way.
set -euo pipefail
prog=$(realpath "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$root/demo"
mkdir -p "$root/demo"
cd "$root/demo"

# Every third sequence is held out. The class is the second word of each header.
awk '/^>/{n++} n % 3 != 0' "$root/data/Sample.txt" > train.fa
awk '/^>/{n++} n % 3 == 0' "$root/data/Sample.txt" > test.fa
echo "train.fa: $(grep -c '^>' train.fa) sequences, test.fa: $(grep -c '^>' test.fa) sequences"

run() {
  echo "\$ protfeat $*"
  "$prog" "$@"
}
run mine dd -i train.fa --header-labels -o features.tsv --alpha 0.5 --beta 0.2
run encode -f features.tsv -i train.fa --header-labels -o train.arff
run encode -f features.tsv -i test.fa --header-labels -o test.arff
echo "first features (feature, families, support):"
grep -v '^#' features.tsv | head -3 | sed 's/^/  /'

weka=/usr/share/java/weka.jar
if [ -r "$weka" ] && command -v java > /dev/null 2>&1; then
  echo "\$ java -cp $weka weka.classifiers.trees.J48 -t train.arff -T test.arff"
  java -cp "$weka" weka.classifiers.trees.J48 -t train.arff -T test.arff > j48.txt
  echo "J48 on the held-out test part: $(grep -A2 'Error on test data' j48.txt | grep Correctly | awk '{print $(NF-1), "%"}') correct"
else
  echo "(Weka is not installed: apt-get install weka to score the test part)"
fi

run folds dd -i "$root/data/Sample.txt" --header-labels -k 5 -d folds --alpha 0.5 --beta 0.2
echo "demo/ holds: $(cd "$root/demo" && ls | tr '\n' ' ')"
