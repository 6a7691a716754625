"""What the Python tests share: the command line they compare the package with, the bundled
sample, and random labelled sets (families grown from an ancestor by substitutions, so that
members share words and families share few)."""

import os
import random
import subprocess

import pytest

SOURCE = os.environ.get("PROTFEAT_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
SAMPLE = os.path.join(SOURCE, "data", "Sample.txt")


def protfeat(*args):
    """Runs the command line; its standard error on failure."""
    binary = os.environ.get("PROTFEAT_BINARY")
    if not binary:
        pytest.skip("PROTFEAT_BINARY names no command line to compare with")
    done = subprocess.run([binary, *map(str, args)], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return done


def random_set(seed, families=4, sizes=(8, 20), lengths=(40, 120), letters=20):
    """(ids, sequences, labels) of random families."""
    rng = random.Random(seed)
    residues = "ARNDCQEGHILKMFPSTWYV"[:letters]
    ids, sequences, labels = [], [], []
    for f in range(families):
        ancestor = [rng.choice(residues) for _ in range(rng.randint(*lengths))]
        for _ in range(rng.randint(*sizes)):
            s = [rng.choice(residues) if rng.random() < 0.125 else c for c in ancestor]
            if rng.random() < 0.3:
                s = s[rng.randint(1, 4):]
            ids.append(f"s{len(ids) + 1}")
            sequences.append("".join(s))
            labels.append(f"fam{f + 1}")
    # Dealt from the families in turn: labels far from grouped.
    order = sorted(range(len(ids)), key=lambda i: (int(ids[i][1:]) * 7919) % len(ids))
    return [ids[i] for i in order], [sequences[i] for i in order], [labels[i] for i in order]


def write_fasta(path, ids, sequences, labels):
    with open(path, "w") as f:
        for i, s, label in zip(ids, sequences, labels):
            f.write(f">{i} {label}\n")
            for p in range(0, len(s), 60):
                f.write(s[p : p + 60] + "\n")
    return str(path)


SETS = ["sample", "random-1", "random-2"]


@pytest.fixture(params=SETS)
def labelled_set(request, tmp_path_factory):
    """(fasta path, ids, sequences, labels): the sample, and two random sets."""
    import protfeat

    if request.param == "sample":
        ids, sequences, labels = protfeat.read_fasta(SAMPLE, header_labels=True)
        return SAMPLE, ids, sequences, labels
    ids, sequences, labels = random_set(int(request.param[-1]))
    path = write_fasta(tmp_path_factory.mktemp("set") / "set.fa", ids, sequences, labels)
    return path, ids, sequences, labels
