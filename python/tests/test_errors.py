"""Bad input raises a Python exception with the command line's message, never a crash; files
are written whole or not at all."""

import os

import pytest

import protfeat
from protfeat import _native

SEQUENCES = ["MKVLAAGIVALLLAAGCSS", "MKVLAAGLVALLLSAGCSS", "MPELTRRHHWKKDEQ", "MPELTRRHNWKKDEQ"]
LABELS = ["a", "a", "b", "b"]


@pytest.mark.parametrize(
    "call, error, message",
    [
        (lambda: protfeat.NgramVectorizer().fit(["ACD", 5]), TypeError, "the sequence at index 1 is a int"),
        (lambda: protfeat.NgramVectorizer().fit("ACDEF"), TypeError, "not a single str"),
        (lambda: protfeat.NgramVectorizer().fit(["ACD", "AC1D"]), ValueError, "index 1: '1' is not a residue letter"),
        (lambda: protfeat.NgramVectorizer().fit([]), ValueError, "no sequence to mine"),
        (lambda: protfeat.DescriptorVectorizer(0.5, 0.2).fit(SEQUENCES, LABELS[:3]), ValueError, "3 labels for 4 sequences"),
        (lambda: protfeat.DescriptorVectorizer(0.5, 0.2).fit(SEQUENCES), ValueError, "needs y"),
        (lambda: protfeat.DescriptorVectorizer(2, 0.2).fit(SEQUENCES, LABELS), ValueError, 'alpha must be a number from 0 to 1, not "2"'),
        (lambda: protfeat.NgramVectorizer(values="counts").fit(SEQUENCES), ValueError, "values='counts'"),
        (lambda: protfeat.NgramVectorizer(gamma=1), TypeError, "gamma"),
        (lambda: _native.mine("ng", SEQUENCES, None, {"gamma": "1"}), ValueError, '"gamma" is not a setting of ng'),
        (lambda: protfeat.NgramVectorizer().fit(SEQUENCES).transform([]), ValueError, "no sequence"),
        (lambda: protfeat.read_fasta("/nonexistent/x.fa"), FileNotFoundError, 'cannot open the sequence file "/nonexistent/x.fa"'),
        (lambda: protfeat.load_features("/"), IsADirectoryError, 'the features file "/" is a folder'),
    ],
)
def test_bad_input_raises(call, error, message):
    with pytest.raises(error) as raised:
        call()
    assert message in str(raised.value)


def test_bad_files_name_the_file_and_line(tmp_path, capfd):
    fasta = tmp_path / "bad.fa"
    fasta.write_text(">a x\nACD\n>a y\nACE\n")
    with pytest.raises(ValueError, match=r'line 3: the id "a" is already the id of the sequence at line 1'):
        protfeat.read_fasta(fasta)
    fasta.write_text(">a x\nACD\n>b\nACE\n")
    with pytest.raises(ValueError, match="line 3: the header of \"b\" has no second word"):
        protfeat.read_fasta(fasta, header_labels=True)
    features = tmp_path / "features.tsv"
    features.write_text("#protfeat\t2.0.0\n#approach\tng\n#setting\tn\tthree\n#columns\tfeature\tsequences\n")
    with pytest.raises(ValueError, match='line 3: the setting n: "three" is not a whole number'):
        protfeat.load_features(features)
    with pytest.raises(ValueError, match="pickled|features text"):
        _native.Features.from_string("#protfeat\t2.0.0\n#approach\tng\n")
    # The module reports through its exceptions alone: nothing on standard error.
    assert capfd.readouterr().err == ""


def test_failed_write_leaves_nothing(tmp_path):
    vectorizer = protfeat.NgramVectorizer().fit(SEQUENCES)
    with pytest.raises(FileNotFoundError, match='cannot create file ".*/missing/f.tsv": No such file'):
        vectorizer.save(tmp_path / "missing" / "f.tsv")
    vectorizer.save(tmp_path / "f.tsv")
    with pytest.raises(ValueError, match="the class \"c\" of the sequence \"2\" is not one of the classes"):
        protfeat.DescriptorVectorizer(0.5, 0.2).fit(SEQUENCES, LABELS).write_table(tmp_path / "f.csv", SEQUENCES, ["a", "c", "b", "b"])
    assert sorted(os.listdir(tmp_path)) == ["f.tsv"]  # no table, no temporary


def test_exhausted_memory_is_memory_error():
    import subprocess
    import sys

    script = """
import random, resource, protfeat
resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))
rng = random.Random(1)
seq = "".join(rng.choice("ACDEFGHIKLMNPQRSTVWY") for _ in range(200000))
for work in (lambda: protfeat.NgramVectorizer(n=(1, 3000)).fit([seq]),
             lambda: protfeat.NgramVectorizer(n=1, n_jobs=2).fit([seq]).transform([seq] * 300000)):
    try:
        work()
    except MemoryError:
        print("MemoryError")
"""
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, timeout=300)
    assert done.returncode == 0, done.stderr
    assert done.stdout.split() == ["MemoryError", "MemoryError"]
