#!/usr/bin/python3
"""The accuracy benchmark: how well a classifier trained on a feature table tells protein
families apart, against nearest-neighbour search by alignment (BLAST, MMseqs2).

usage: /usr/bin/python3 bench/accuracy/run.py [BUILD_DIR [WORK_DIR]]     (make bench-accuracy)
  BUILD_DIR  holds the protfeat program (default build-bench)
  WORK_DIR   the sequence sets, splits, tables and hits (default BUILD_DIR/accuracy)
environment: ACCURACY_DOC  the report to write (default docs/ACCURACY.md; its picture is written
             beside it as accuracy.png)

Steps: build the sequence set (make_data.py), cluster it with MMseqs2, split it twice (whole
clusters per family; stratified random), then for each split and each row of ROWS time the
features (mine + encode, or the vectoriser, or the search database) and each classifier (fit +
predict, or the search), and write the report and its picture.
"""
import os
import platform
import random
import re
import subprocess
import sys
import time
import warnings
from collections import Counter, defaultdict, namedtuple
from datetime import datetime, timezone

import numpy as np
from scipy import sparse
from sklearn.datasets import load_svmlight_file
from sklearn.exceptions import ConvergenceWarning
from sklearn.feature_extraction.text import CountVectorizer, TfidfTransformer
from sklearn.linear_model import LogisticRegression
from sklearn.metrics import accuracy_score, f1_score
from sklearn.model_selection import train_test_split
from sklearn.preprocessing import MaxAbsScaler
from sklearn.svm import LinearSVC

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
SEED = 1
TEST_SHARE = 0.3
CLUSTER_OPTIONS = ["--min-seq-id", "0.5", "-c", "0.5"]
# A stricter split for contrast: clusters at 30 % identity, so that test sequences are remoter.
REMOTE_OPTIONS = ["--min-seq-id", "0.3", "-c", "0.5"]
THREADS = "2"
WEKA = ["java", "-cp", "/usr/share/java/weka.jar"]

Split = namedtuple("Split", "name title folder train test labels")
# train, test: the two tables (matrices, or files for Weka and the searches); count: features.
Features = namedtuple("Features", "train test count seconds commands")
Result = namedtuple("Result", "row classifier note count accuracy macro_f1 feature_seconds predict_seconds")


# ---- The rows: each a name, how its features are made, and the classifiers that read them ----

def protfeat(*mines, values="binary", table="libsvm"):
    """Features by protfeat: each MINE (a list of mine arguments) on the training part, then both
    parts encoded with all the features files side by side, with --values VALUES."""
    def make(split, program):
        files = [f"features{k}.tsv" for k in range(len(mines))]
        tables = [os.path.join(split.folder, f"{part}.{table}") for part in ("train", "test")]
        commands = [[program, "mine", *approach, "-i", "train.fa", "--header-labels", "-o", name]
                    for approach, name in zip(mines, files)]
        given = [word for name in files for word in ("-f", name)]
        commands += [[program, "encode", *given, "-i", f"{part}.fa", "--header-labels", "-o", os.path.basename(path),
                      "--threads", THREADS] + (["--values", values] if values != "binary" else [])
                     for part, path in zip(("train", "test"), tables)]
        seconds = sum(timed_run(command, split.folder) for command in commands)
        count = sum(1 for name in files for line in open(os.path.join(split.folder, name)) if not line.startswith("#"))
        if table == "libsvm":
            train, test = (load_svmlight_file(path, n_features=count)[0] for path in tables)
            return Features(train, test, count, seconds, commands)
        return Features(tables[0], tables[1], count, seconds, commands)
    return make


def char_ngrams(tfidf):
    """scikit-learn's character 1- to 3-grams: binary, or counts weighted by sublinear tf-idf."""
    def make(split, program):
        start = time.perf_counter()
        vectoriser = CountVectorizer(analyzer="char", ngram_range=(1, 3), lowercase=False, binary=not tfidf)
        train = vectoriser.fit_transform(sequences(split, "train"))
        test = vectoriser.transform(sequences(split, "test"))
        if tfidf:
            weights = TfidfTransformer(sublinear_tf=True).fit(train)
            train, test = weights.transform(train), weights.transform(test)
        code = ("CountVectorizer(analyzer='char', ngram_range=(1, 3), lowercase=False, binary=True)" if not tfidf else
                "CountVectorizer(analyzer='char', ngram_range=(1, 3), lowercase=False) + TfidfTransformer(sublinear_tf=True)")
        return Features(train, test, train.shape[1], time.perf_counter() - start, [[code]])
    return make


def composition(k):
    """Amino-acid (k = 1) or dipeptide (k = 2) composition: the share of each of the 20^k words
    among a sequence's words, each column divided by its largest training value."""
    alphabet = "ACDEFGHIKLMNPQRSTVWY"
    words = {"".join(w): i for i, w in enumerate(
        (a,) if k == 1 else (a, b) for a in alphabet for b in (alphabet if k == 2 else [""]))}

    def table(seqs):
        rows = np.zeros((len(seqs), len(words)))
        for r, seq in enumerate(seqs):
            for i in range(len(seq) - k + 1):
                column = words.get(seq[i:i + k])
                if column is not None:
                    rows[r, column] += 1
            rows[r] /= max(1, len(seq) - k + 1)
        return rows

    def make(split, program):
        start = time.perf_counter()
        scaler = MaxAbsScaler().fit(table(sequences(split, "train")))
        train = scaler.transform(table(sequences(split, "train")))
        test = scaler.transform(table(sequences(split, "test")))
        name = "amino-acid" if k == 1 else "dipeptide"
        return Features(train, test, len(words), time.perf_counter() - start, [[f"{name} composition in Python, columns scaled by MaxAbsScaler"]])
    return make


def blast_database(split, program):
    commands = [["makeblastdb", "-in", "train.fa", "-dbtype", "prot", "-out", "blastdb/train"]]
    seconds = timed_run(commands[0], split.folder)
    return Features("blastdb/train", "test.fa", None, seconds, commands)


def mmseqs_database(split, program):
    commands = [["mmseqs", "createdb", "train.fa", "mmseqsdb/train", "-v", "1"]]
    os.makedirs(os.path.join(split.folder, "mmseqsdb"), exist_ok=True)
    seconds = timed_run(commands[0], split.folder)
    return Features("mmseqsdb/train", "test.fa", None, seconds, commands)


LINEAR = ["LinearSVC", "LogisticRegression"]
Row = namedtuple("Row", "name features classifiers")
# Adding a configuration is adding a line here.
# Each approach with each kind of values, with and without the 10-letter alphabet.
APPROACHES = [
    ("ng -n 3", ["ng", "-n", "3"]),
    ("dd --alpha 0.5 --beta 0.1", ["dd", "--alpha", "0.5", "--beta", "0.1"]),
    ("ddsm --alpha 0.5 --beta 0.1", ["ddsm", "--alpha", "0.5", "--beta", "0.1"]),
    # Lower thresholds: more descriptors, which the reduced alphabet lets match more often.
    ("dd --alpha 0.2 --beta 0.02", ["dd", "--alpha", "0.2", "--beta", "0.02"]),
    ("ddsm --alpha 0.2 --beta 0.02", ["ddsm", "--alpha", "0.2", "--beta", "0.02"]),
    ("ma --min-sequences 30 --max-length 8", ["ma", "--min-sequences", "30", "--max-length", "8"]),
]
VALUES = ["binary", "count", "tfidf"]
REDUCED = "murphy10"


def grid_name(label, alphabet, values):
    return f"protfeat {label}{', ' + alphabet if alphabet else ''}, {values}"


ROWS = [Row(grid_name(label, alphabet, values),
            protfeat(args + (["--alphabet", alphabet] if alphabet else []), values=values), LINEAR)
        for label, args in APPROACHES for alphabet in (None, REDUCED) for values in VALUES]
# Adding a configuration is adding a line here.
ROWS += [
    Row("protfeat ng -n 2, binary", protfeat(["ng", "-n", "2"]), LINEAR),
    Row("protfeat ng -n 1-3, binary", protfeat(["ng", "-n", "1-3"]), LINEAR),
    Row("protfeat ng -n 1-3, tfidf", protfeat(["ng", "-n", "1-3"], values="tfidf"), LINEAR),
    Row("protfeat ng -n 3-5, murphy10, tfidf", protfeat(["ng", "-n", "3-5", "--alphabet", REDUCED], values="tfidf"),
        LINEAR),
    Row("protfeat ng -n 2 + ng -n 2-4 murphy8, tfidf",
        protfeat(["ng", "-n", "2"], ["ng", "-n", "2-4", "--alphabet", "murphy8"], values="tfidf"), LINEAR),
    Row("protfeat ng -n 1-2, count", protfeat(["ng", "-n", "1-2"], values="count"), LINEAR),
    Row("protfeat ng -n 1-2 + ng -n 1-2 murphy8, count",
        protfeat(["ng", "-n", "1-2"], ["ng", "-n", "1-2", "--alphabet", "murphy8"], values="count"), LINEAR),
    Row("protfeat dd --alpha 0.5 --beta 0.1, binary, ARFF", protfeat(["dd", "--alpha", "0.5", "--beta", "0.1"], table="arff"),
        ["Weka SMO"]),
    Row("scikit-learn character 1-3-grams, binary", char_ngrams(tfidf=False), LINEAR),
    Row("scikit-learn character 1-3-grams, sublinear tf-idf", char_ngrams(tfidf=True), LINEAR),
    Row("amino-acid composition", composition(1), LINEAR),
    Row("dipeptide composition", composition(2), LINEAR),
    Row("BLAST nearest neighbour", blast_database, ["blastp best hit"]),
    Row("MMseqs2 nearest neighbour", mmseqs_database, ["easy-search best hit"]),
]
ALIGNMENT_ROWS = {"BLAST nearest neighbour", "MMseqs2 nearest neighbour"}


# ---- The classifiers: each returns the predicted family of every test sequence, and a note ----

def fit_predict(model):
    def classify(split, features):
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", ConvergenceWarning)
            model.fit(features.train, [split.labels[i] for i in split.train])
            return list(model.predict(features.test)), ""
    return classify


def weka_smo(split, features):
    """Weka's SMO trained on the training ARFF; its predictions on the test ARFF (-p 0)."""
    command = WEKA + ["weka.classifiers.functions.SMO", "-t", features.train, "-T", features.test, "-p", "0"]
    output = subprocess.run(command, check=True, capture_output=True, text=True, cwd=split.folder).stdout
    rows = [line.split() for line in output.splitlines()]
    return [row[2].split(":", 1)[1] for row in rows if len(row) >= 3 and row[0].isdigit() and ":" in row[2]], ""


def nearest_hits(split, hits, query, target, score):
    """The family of each test sequence's best hit (highest bit score) in a tab-separated hit
    list; a sequence without a hit gets the most frequent training family."""
    best = {}
    with open(os.path.join(split.folder, hits)) as lines:
        for line in lines:
            fields = line.rstrip("\n").split("\t")
            bits = float(fields[score])
            if fields[query] not in best or bits > best[fields[query]][0]:
                best[fields[query]] = (bits, fields[target])
    common = Counter(split.labels[i] for i in split.train).most_common(1)[0][0]
    missed = sum(i not in best for i in split.test)
    return [split.labels[best[i][1]] if i in best else common for i in split.test], f"{missed} without a hit"


def blastp_best_hit(split, features):
    command = ["blastp", "-query", features.test, "-db", features.train, "-outfmt", "6 qseqid sseqid bitscore",
               "-max_target_seqs", "5", "-num_threads", THREADS, "-out", "blast.tsv"]
    subprocess.run(command, check=True, cwd=split.folder)
    return nearest_hits(split, "blast.tsv", 0, 1, 2)


def mmseqs_best_hit(split, features):
    command = ["mmseqs", "easy-search", features.test, features.train, "mmseqs.m8", "mmseqs-tmp",
               "--threads", THREADS, "-v", "1"]
    subprocess.run(command, check=True, cwd=split.folder)
    return nearest_hits(split, "mmseqs.m8", 0, 1, 11)


CLASSIFIERS = {
    "LinearSVC": fit_predict(LinearSVC(max_iter=20000, random_state=SEED)),
    "LogisticRegression": fit_predict(LogisticRegression(max_iter=5000)),
    "Weka SMO": weka_smo,
    "blastp best hit": blastp_best_hit,
    "easy-search best hit": mmseqs_best_hit,
}


# ---- The steps ----

def timed_run(command, folder):
    start = time.perf_counter()
    subprocess.run(command, check=True, cwd=folder, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def build_data(work):
    subprocess.run([sys.executable, os.path.join(HERE, "make_data.py"), work], check=True)


def read_set(work):
    """The ids in file order, and each id's family and residues."""
    ids, labels, residues = [], {}, defaultdict(str)
    with open(os.path.join(work, "all.fa")) as lines:
        for line in lines:
            if line.startswith(">"):
                seq_id, family = line[1:].split()[:2]
                ids.append(seq_id)
                labels[seq_id] = family
            else:
                residues[ids[-1]] += line.strip()
    return ids, labels, residues


def cluster(work, options=CLUSTER_OPTIONS, name="clusters"):
    """Each id's cluster representative (mmseqs easy-cluster)."""
    command = ["mmseqs", "easy-cluster", "all.fa", name, "mmseqs-tmp", *options, "--threads", THREADS, "-v", "1"]
    subprocess.run(command, check=True, cwd=work)
    with open(os.path.join(work, f"{name}_cluster.tsv")) as lines:
        return {member: rep for rep, member in (line.split() for line in lines)}


def homology_split(ids, labels, clusters):
    """Per family, whole clusters to the test part (shuffled with SEED) while it stays within
    TEST_SHARE of the family; at least one cluster on each side, else the family is left out."""
    units = defaultdict(lambda: defaultdict(list))
    for seq_id in ids:
        units[labels[seq_id]][clusters[seq_id]].append(seq_id)
    rng = random.Random(SEED)
    train, test, left_out = [], [], []
    for family in sorted(units):
        groups = [units[family][rep] for rep in sorted(units[family])]
        if len(groups) < 2:
            left_out.append(family)
            continue
        rng.shuffle(groups)
        size = sum(len(g) for g in groups)
        chosen = []
        for group in groups:
            if sum(len(g) for g in chosen) + len(group) <= TEST_SHARE * size:
                chosen.append(group)
        if not chosen:
            chosen = [min(groups, key=len)]
        test += [i for g in chosen for i in g]
        train += [i for g in groups if g not in chosen for i in g]
    return sorted(train), sorted(test), left_out


def random_split(ids, labels):
    train, test = train_test_split(ids, test_size=TEST_SHARE, random_state=SEED, stratify=[labels[i] for i in ids])
    return sorted(train), sorted(test)


def write_split(split, residues):
    os.makedirs(split.folder, exist_ok=True)
    for part in ("train", "test"):
        with open(os.path.join(split.folder, f"{part}.fa"), "w") as fasta:
            for seq_id in getattr(split, part):
                fasta.write(f">{seq_id} {split.labels[seq_id]}\n{residues[seq_id]}\n")


def sequences(split, part):
    with open(os.path.join(split.folder, f"{part}.fa")) as lines:
        return [line.strip() for line in lines if not line.startswith(">")]


def measure(split, program):
    """Every row's features, then every classifier of the row, timed; one Result per pair."""
    results, commands = [], {}
    truth = [split.labels[i] for i in split.test]
    families = sorted(set(truth))
    for row in ROWS:
        features = row.features(split, program)
        commands[row.name] = features.commands
        for name in row.classifiers:
            start = time.perf_counter()
            predicted, note = CLASSIFIERS[name](split, features)
            seconds = time.perf_counter() - start
            assert len(predicted) == len(truth), f"{row.name}, {name}: {len(predicted)} predictions"
            result = Result(row.name, name, note, features.count, accuracy_score(truth, predicted),
                            f1_score(truth, predicted, labels=families, average="macro", zero_division=0),
                            features.seconds, seconds)
            results.append(result)
            print(f"{split.name}: {row.name}, {name}{', ' + note if note else ''}: accuracy {result.accuracy:.3f}, macro-F1 "
                  f"{result.macro_f1:.3f}, {result.feature_seconds:.2f} s + {seconds:.2f} s", flush=True)
    return results, commands


def best_per_row(results):
    """Each row's result with its best accuracy, in row order."""
    best = {}
    for r in results:
        if r.row not in best or r.accuracy > best[r.row].accuracy:
            best[r.row] = r
    return list(best.values())


def plot(results, path):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    import matplotlib.ticker
    figure, axes = plt.subplots(figsize=(10, 5), dpi=90)
    for number, r in enumerate(best_per_row(results), 1):
        colour = "tab:red" if r.row in ALIGNMENT_ROWS else "tab:blue" if r.row.startswith("protfeat") else "tab:grey"
        axes.scatter(r.feature_seconds, r.accuracy, color=colour, label=f"{number}  {r.row}, {r.classifier}")
        axes.annotate(str(number), (r.feature_seconds, r.accuracy), fontsize=8, xytext=(4, 3), textcoords="offset points")
    axes.set_xscale("log")
    axes.xaxis.set_major_locator(matplotlib.ticker.LogLocator(subs=(1, 2, 5)))
    axes.xaxis.set_major_formatter(matplotlib.ticker.FormatStrFormatter("%g"))
    axes.xaxis.set_minor_formatter(matplotlib.ticker.NullFormatter())
    axes.legend(loc="center left", bbox_to_anchor=(1.01, 0.5), fontsize=7, handletextpad=0.3, frameon=False)
    axes.set_xlabel("seconds to features (log scale)")
    axes.set_ylabel("accuracy on the test part")
    axes.set_title("Homology split: each row at its best classifier (blue protfeat, red alignment)", fontsize=9)
    axes.grid(True, which="both", alpha=0.3)
    figure.tight_layout()
    figure.savefig(path)


def tool_versions(program):
    def first_line(command):
        out = subprocess.run(command, capture_output=True, text=True)
        return (out.stdout or out.stderr).strip().splitlines()[0].split(" ", 1)[-1].strip()
    import matplotlib
    import sklearn
    return [("protfeat", first_line([program, "--version"])), ("MMseqs2", subprocess.run(["mmseqs", "version"], capture_output=True, text=True).stdout.strip()),
            ("BLAST", first_line(["blastp", "-version"])), ("scikit-learn", sklearn.__version__),
            ("matplotlib", matplotlib.__version__), ("Java", re.search(r'"(.*?)"', first_line(["java", "-version"])).group(1)),
            ("Weka", first_line(["dpkg-query", "-W", "-f", "${Version}", "weka"]))]


def machine():
    cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")), "?")
    memory = next(int(line.split()[1]) for line in open("/proc/meminfo") if line.startswith("MemTotal"))
    return f"{cpu}, {os.cpu_count()} cores, {memory / 2**20:.0f} GiB, {platform.system()} {platform.release()}"


def results_table(results):
    lines = ["| features | classifier | features count | accuracy | macro-F1 | seconds to features | seconds to a prediction |",
             "|---|---|---:|---:|---:|---:|---:|"]
    for r in results:
        count = "" if r.count is None else str(r.count)
        classifier = f"{r.classifier}, {r.note}" if r.note else r.classifier
        lines.append(f"| {r.row} | {classifier} | {count} | {r.accuracy:.3f} | {r.macro_f1:.3f} | "
                     f"{r.feature_seconds:.2f} | {r.predict_seconds:.2f} |")
    return lines


def grid_table(results):
    """Each approach's best accuracy (over the classifiers) for each kind of values, with and
    without the reduced alphabet."""
    best = {r.row: r for r in best_per_row(results)}
    columns = [(alphabet, values) for alphabet in (None, REDUCED) for values in VALUES]
    lines = ["| approach | " + " | ".join(f"{values}{', ' + alphabet if alphabet else ''}" for alphabet, values in columns)
             + " |", "|---|" + "---:|" * len(columns)]
    for label, _ in APPROACHES:
        lines.append(f"| {label} | " + " | ".join(f"{best[grid_name(label, a, v)].accuracy:.3f}" for a, v in columns) + " |")
    return lines


def findings(results):
    """The best protfeat row against the best alignment row and the best of the others."""
    best = {r.row: r for r in best_per_row(results)}
    ours = max((r for r in best.values() if r.row.startswith("protfeat")), key=lambda r: r.accuracy)
    aligned = max((r for r in best.values() if r.row in ALIGNMENT_ROWS), key=lambda r: r.accuracy)
    others = max((r for r in best.values() if not r.row.startswith("protfeat") and r.row not in ALIGNMENT_ROWS),
                 key=lambda r: r.accuracy)
    gap = (aligned.accuracy - ours.accuracy) * 100
    verdict = (f"trails it by {gap:.1f} points of accuracy" if gap > 0.05 else
               f"beats it by {-gap:.1f} points of accuracy" if gap < -0.05 else "matches it")
    return (f"The best protfeat configuration is `{ours.row}` with {ours.classifier} (accuracy {ours.accuracy:.3f}, "
            f"macro-F1 {ours.macro_f1:.3f}); the best alignment row, {aligned.row} ({aligned.classifier}), reaches "
            f"{aligned.accuracy:.3f} (macro-F1 {aligned.macro_f1:.3f}): protfeat {verdict}. The best of the other "
            f"alignment-free rows is {others.row} with {others.classifier} ({others.accuracy:.3f}). "
            + targets(ours, aligned, best))


def targets(ours, aligned, best):
    """The accuracy targets, each said reached or not with its figures."""
    ngrams = max((r for r in best.values() if r.row.startswith("scikit-learn")), key=lambda r: r.accuracy)
    said = lambda ok: "reached" if ok else "not reached"
    speed = aligned.feature_seconds + aligned.predict_seconds
    ours_time = ours.feature_seconds + ours.predict_seconds
    return (f"Targets: the best protfeat row at least matches the best scikit-learn n-gram row "
            f"({ours.accuracy:.3f} against {ngrams.accuracy:.3f}: {said(ours.accuracy >= ngrams.accuracy)}); "
            f"it comes within 0.02 of alignment's nearest neighbour ({aligned.accuracy - ours.accuracy:.3f} behind: "
            f"{said(aligned.accuracy - ours.accuracy <= 0.02)}), at 20 times less time or better "
            f"({ours_time:.2f} s against {speed:.2f} s, features and prediction: {said(20 * ours_time <= speed)}). "
            + " ".join(f"`{label}`: tfidf with {REDUCED} {best[grid_name(label, REDUCED, 'tfidf')].accuracy:.3f} against "
                       f"binary {best[grid_name(label, None, 'binary')].accuracy:.3f}: "
                       f"{said(best[grid_name(label, REDUCED, 'tfidf')].accuracy > best[grid_name(label, None, 'binary')].accuracy)}."
                       for label, _ in APPROACHES))


def family_table(ids, labels, clusters, remote, splits, left_out, remote_left_out):
    lines = ["| family | sequences | clusters | clusters at 30 % | " +
             " | ".join(f"{s.name} train | {s.name} test" for s in splits) + " |",
             "|---|---:|---:|---:|" + "---:|---:|" * len(splits)]
    for family in sorted(set(labels.values())):
        members = [i for i in ids if labels[i] == family]
        cells = [str(len(members)), str(len({clusters[i] for i in members})), str(len({remote[i] for i in members}))]
        for s in splits:
            cells += [str(sum(labels[i] == family for i in part)) for part in (s.train, s.test)]
        note = (" (one cluster: left out)" if family in left_out else
                " (one cluster at 30 %: left out of the remote split)" if family in remote_left_out else "")
        lines.append(f"| {family}{note} | " + " | ".join(cells) + " |")
    totals = [str(len(ids)), str(len({clusters[i] for i in ids})), str(len({remote[i] for i in ids}))]
    for s in splits:
        totals += [str(len(s.train)), str(len(s.test))]
    lines.append("| **all** | " + " | ".join(totals) + " |")
    return lines


def write_report(doc, picture, context):
    c = context
    out = ["# Accuracy against alignment", "",
           "Written by `make bench-accuracy` (`bench/accuracy/run.py`); do not edit by hand. How well a classifier "
           "trained on each feature table tells protein families apart on held-out sequences, next to "
           "nearest-neighbour search by alignment (the family of the best BLAST or MMseqs2 hit among the training "
           "sequences). The homology split keeps every cluster of similar sequences (MMseqs2, 50 % identity, 50 % "
           "coverage) on one side, so that no test sequence shares a cluster with a training sequence; the remote "
           "split does the same with clusters at 30 % identity, so that its test sequences are remoter still; the "
           "random split does not, for contrast. The targets are read on the homology split.", "",
           f"- Date: {c['date']}", f"- Machine: {c['machine']}",
           f"- Whole run: {c['total']:.0f} s", "- Tools: " + ", ".join(f"{n} {v}" for n, v in c["versions"]), "",
           "## Data", "",
           "`bench/accuracy/make_data.py` reads the protein alignments (Stockholm and MSF) that Debian's "
           "`hmmer-examples` and `emboss-test` ship (found with `dpkg -L`), one family per alignment, gaps stripped, "
           f"and `data/Sample.txt`; families of the same name are merged, identical sequences kept once, and families "
           f"with fewer than 10 sequences left out: {c['sequences']} sequences in {c['families']} families, "
           f"{c['clusters']} clusters. A family with a single cluster cannot be split by clusters and is left out of "
           f"both splits ({', '.join(c['left_out']) or 'none'}), which leaves {c['kept']} sequences. The homology split "
           f"sends whole clusters of each family to the test part (shuffled with seed {SEED}) while it holds at most "
           f"{TEST_SHARE:.0%} of the family; the random split is stratified by family, {TEST_SHARE:.0%} to test, seed "
           f"{SEED}.", "", *c["families_table"], "",
           "## Command lines", "",
           f"Clustering: `mmseqs easy-cluster all.fa clusters mmseqs-tmp {' '.join(CLUSTER_OPTIONS)} --threads {THREADS}` "
           f"(the remote split: `{' '.join(REMOTE_OPTIONS)}`). "
           "Per row, run in the split's folder on `train.fa` and `test.fa` (headers `>ID FAMILY`):", ""]
    for row in ROWS:
        out.append(f"- {row.name}: " + "; ".join("`" + " ".join(os.path.basename(w) if w.endswith("protfeat") else w
                                                              for w in cmd) + "`" for cmd in c["commands"][row.name]))
    out += ["", "Classifiers: scikit-learn `LinearSVC(max_iter=20000)` and `LogisticRegression(max_iter=5000)` on "
            "the tables (protfeat's read with `load_svmlight_file(path, n_features=FEATURES)`); "
            "`java -cp /usr/share/java/weka.jar weka.classifiers.functions.SMO -t train.arff -T test.arff -p 0`; "
            f"`blastp -query test.fa -db blastdb/train -outfmt '6 qseqid sseqid bitscore' -max_target_seqs 5 "
            f"-num_threads {THREADS}` and `mmseqs easy-search test.fa mmseqsdb/train mmseqs.m8 mmseqs-tmp --threads "
            f"{THREADS}`, each test sequence taking the family of its highest-scoring hit (the most frequent training "
            "family when it has none).", "",
            "Seconds to features: mine + encode of both parts (whole processes), the vectoriser's fit and transform, "
            "or the search database of the training part. Seconds to a prediction: the classifier's fit and predict "
            "(for Weka the whole Java process), or the search of the test part. Each figure is of one run; times "
            "under a tenth of a second vary by tens of percent from one run to the next.", ""]
    for split, results in c["results"]:
        out += [f"## {split.title}", "", f"{len(split.train)} training and {len(split.test)} test sequences.", "",
                "Best accuracy of each approach (of LinearSVC and LogisticRegression) by values and alphabet:", "",
                *grid_table(results), "", *results_table(results), "", findings(results), ""]
    out += ["## Accuracy against seconds to features", "",
            f"![accuracy against seconds to features, homology split]({os.path.basename(picture)})", "",
            "Homology split, one point per row at its best classifier; the x axis is logarithmic.", ""]
    with open(doc, "w") as f:
        f.write("\n".join(out))


def main():
    start = time.perf_counter()
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build-bench")
    work = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(build, "accuracy"))
    doc = os.path.abspath(os.environ.get("ACCURACY_DOC", os.path.join(ROOT, "docs", "ACCURACY.md")))
    picture = os.path.join(os.path.dirname(doc), "accuracy.png")
    program = os.path.join(build, "protfeat")
    subprocess.run(["rm", "-rf", work], check=True)
    build_data(work)
    ids, labels, residues = read_set(work)
    clusters = cluster(work)
    remote = cluster(work, REMOTE_OPTIONS, "remote")
    train, test, left_out = homology_split(ids, labels, clusters)
    remote_train, remote_test, remote_left_out = homology_split(ids, labels, remote)
    kept = [i for i in ids if labels[i] not in left_out]
    splits = [Split("homology", "Homology split (whole clusters)", os.path.join(work, "homology"), train, test, labels),
              Split("remote", "Remote split (whole clusters at 30 % identity)", os.path.join(work, "remote"),
                    remote_train, remote_test, labels),
              Split("random", "Random split (stratified)", os.path.join(work, "random"), *random_split(kept, labels),
                    labels)]
    measured = []
    for split in splits:
        write_split(split, residues)
        measured.append((split, *measure(split, program)))
    plot(measured[0][1], picture)
    context = {"date": datetime.now(timezone.utc).strftime("%Y-%m-%d %H:%M UTC"), "machine": machine(),
               "versions": tool_versions(program), "sequences": len(ids), "families": len(set(labels.values())),
               "clusters": len(set(clusters.values())), "left_out": left_out, "kept": len(kept),
               "families_table": family_table(ids, labels, clusters, remote, splits, left_out, remote_left_out), "commands": measured[0][2],
               "results": [(split, results) for split, results, _ in measured],
               "total": time.perf_counter() - start}
    write_report(doc, picture, context)
    print(f"written: {doc}, {picture} ({context['total']:.0f} s)")


if __name__ == "__main__":
    main()
