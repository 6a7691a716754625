#!/usr/bin/python3
"""The Python package's transform against the command line's encode, on the same synthetic set
(bench/tools/gen_scale.cpp: 100,000 sequences in 100 families by default) and the same features
(the 3-grams that `protfeat mine ng` finds there), beside scikit-learn's CountVectorizer on the
same task (character 3-grams, binary). Writes its table into docs/PERFORMANCE.md between the
python markers (the rest of the file is kept).

usage: /usr/bin/python3 bench/python_encode.py [BUILD_DIR]   (default build-bench, Release)
environment: PYTHON_BENCH_SIZE  sequences (default 100000; families: a thousandth, at least 10)
             PYTHON_BENCH_REPEATS  runs of each timing (default 7); the table gives the fastest
                               and the median, and compares the fastest: on a machine shared
                               with other work, the run that other work disturbed least
             PYTHON_BENCH_DOC  the document to update (default docs/PERFORMANCE.md; "-": print)
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build-bench"))
SIZE = int(os.environ.get("PYTHON_BENCH_SIZE", "100000"))
REPEATS = int(os.environ.get("PYTHON_BENCH_REPEATS", "7"))
DOC = os.environ.get("PYTHON_BENCH_DOC", os.path.join(ROOT, "docs", "PERFORMANCE.md"))

subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Release", "-DPROTFEAT_BENCH=ON",
                "-DPROTFEAT_TESTS=OFF"], check=True, stdout=subprocess.DEVNULL)
subprocess.run(["cmake", "--build", BUILD, "-j", "2", "--target", "protfeat", "gen_scale",
                "protfeat_python"], check=True, stdout=subprocess.DEVNULL)
sys.path.insert(0, os.path.join(BUILD, "python"))

import protfeat  # noqa: E402
from sklearn.feature_extraction.text import CountVectorizer  # noqa: E402

PROGRAM = os.path.join(BUILD, "protfeat")


def run_times(work, repeats=REPEATS):
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        result = work()
        times.append(time.perf_counter() - start)
    return times, result


def run(*args):
    subprocess.run([PROGRAM, *map(str, args)], check=True, stdout=subprocess.DEVNULL)


rows = []  # (step, runs)


def timed(step, work, repeats=REPEATS):
    times, result = run_times(work, repeats)
    rows.append((step, times))
    print(f"{step}: fastest {min(times):.2f} s, median {statistics.median(times):.2f} s", flush=True)
    return result


with tempfile.TemporaryDirectory(dir=BUILD) as data:
    prefix = os.path.join(data, "set")
    subprocess.run([os.path.join(BUILD, "gen_scale"), str(SIZE), str(max(10, SIZE // 1000)), "1", prefix],
                   check=True, stdout=subprocess.DEVNULL)
    fasta, features = prefix + ".fa", os.path.join(data, "ng.tsv")
    run("mine", "ng", "-i", fasta, "-o", features)
    table = os.path.join(data, "ng.libsvm")

    for threads in (1, 2):
        timed(f"command line: encode --threads {threads} to LibSVM (whole process: read, match, write)",
              lambda: run("encode", "-f", features, "-i", fasta, "-o", table, "--threads", threads))
    ids, sequences = timed("Python: read_fasta", lambda: protfeat.read_fasta(fasta))
    vectorizer = protfeat.load_features(features)
    for jobs in (1, 2):
        X = timed(f"Python: transform, n_jobs={jobs}",
                  lambda: vectorizer.set_params(n_jobs=jobs).transform(sequences))
    expected = protfeat.load_table(table, features=features).X
    assert X.shape == expected.shape and (X != expected).nnz == 0, "transform differs from encode"

    counter = CountVectorizer(analyzer="char", ngram_range=(3, 3), binary=True, lowercase=False)
    timed("scikit-learn: CountVectorizer(analyzer='char', ngram_range=(3, 3), binary=True) fit_transform",
          lambda: counter.fit_transform(sequences), repeats=1)
    timed("scikit-learn: the same CountVectorizer's transform (vocabulary fitted)",
          lambda: counter.transform(sequences), repeats=1)
    columns, nonzero = X.shape[1], X.nnz

seconds = {step: min(times) for step, times in rows}
cli = [seconds[s] for s in seconds if s.startswith("command line")]
py = [seconds[s] for s in seconds if s.startswith("Python: transform")]
read = seconds["Python: read_fasta"]
lines = [
    "<!-- python:begin (written by bench/python_encode.py; edits here are overwritten) -->",
    "",
    f"Run of `/usr/bin/python3 bench/python_encode.py` on {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}: "
    f"{os.cpu_count()} cores, Release build. The set: gen_scale {SIZE:,} sequences in "
    f"{max(10, SIZE // 1000)} families (seed 1); the features: the {columns:,} 3-grams `mine ng` finds on it; "
    f"{nonzero:,} non-zero cells. Each step ran {REPEATS} times (scikit-learn: once); the machine is "
    "shared with other work, so the comparisons take each step's fastest run, the one least "
    "disturbed. transform's rows were checked equal to encode's LibSVM table.",
    "",
    "| step | fastest | median |",
    "|---|---:|---:|",
]
for step, times in rows:
    lines.append(f"| {step} | {min(times):.2f} s | {statistics.median(times):.2f} s |")
lines += [
    "",
    f"- transform alone against encode (fastest runs): n_jobs=1 {py[0] / cli[0]:.2f} times the time of --threads 1, "
    f"n_jobs=2 {py[1] / cli[1]:.2f} times that of --threads 2 (target: at most 1.2).",
    f"- read_fasta then transform against encode: {(read + py[0]) / cli[0]:.2f} (one thread), "
    f"{(read + py[1]) / cli[1]:.2f} (two).",
    f"- n_jobs=2 against n_jobs=1: {py[0] / py[1]:.2f} times as fast.",
    "",
    "<!-- python:end -->",
]
table_text = "\n".join(lines) + "\n"
print(table_text)
if DOC != "-":
    with open(DOC) as f:
        doc = f.read()
    begin, end = doc.find("<!-- python:begin"), doc.find("<!-- python:end -->")
    if begin >= 0 and end >= 0:
        doc = doc[:begin] + table_text + doc[end + len("<!-- python:end -->\n"):]
    else:
        doc = doc.rstrip("\n") + "\n\n## Python\n\n" + table_text
    with open(DOC, "w") as f:
        f.write(doc)
    print(f"table written into {DOC}")
