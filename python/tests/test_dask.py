"""protfeat.dask on a local cluster of two worker processes: the same rows and the same n-grams
as one machine."""

import os

import numpy as np
import pytest

dask_bag = pytest.importorskip("dask.bag")
distributed = pytest.importorskip("distributed")

import protfeat  # noqa: E402
import protfeat.dask  # noqa: E402
from conftest import SAMPLE, protfeat as run, random_set, write_fasta  # noqa: E402


@pytest.fixture(scope="module")
def client():
    # The workers import protfeat from where this process does.
    os.environ["PYTHONPATH"] = os.pathsep.join(
        [os.path.dirname(os.path.dirname(protfeat.__file__)), os.environ.get("PYTHONPATH", "")]
    )
    cluster = distributed.LocalCluster(
        n_workers=2, processes=True, host="127.0.0.1", threads_per_worker=1, dashboard_address=None
    )
    with distributed.Client(cluster) as c:
        yield c
    cluster.close()


@pytest.fixture(scope="module")
def sample():
    return protfeat.read_fasta(SAMPLE, header_labels=True)


def test_encode_gives_the_one_machine_rows(client, sample, tmp_path):
    ids, sequences, labels = sample
    vectorizer = protfeat.DescriptorVectorizer(alpha=0.5, beta=0.2).fit(sequences, labels)
    expected = vectorizer.transform(sequences)
    # Parts of unequal sizes, one of them empty.
    bag = dask_bag.from_sequence(sequences, partition_size=100)
    bag = dask_bag.concat([bag, dask_bag.from_sequence([], npartitions=1)])
    rows = protfeat.dask.encode(vectorizer, bag).compute()
    assert rows.shape == expected.shape and (rows != expected).nnz == 0

    # FASTA files encoded on the workers, one table each: end to end, the whole set's table.
    parts = [write_fasta(tmp_path / f"p{k}.fa", ids[k::3], sequences[k::3], labels[k::3]) for k in range(3)]
    whole = write_fasta(tmp_path / "whole.fa", sum((ids[k::3] for k in range(3)), []),
                        sum((sequences[k::3] for k in range(3)), []), sum((labels[k::3] for k in range(3)), []))
    vectorizer.save(tmp_path / "features.tsv")
    run("encode", "-f", tmp_path / "features.tsv", "-i", whole, "--header-labels", "-o", tmp_path / "whole.libsvm")
    written = protfeat.dask.encode(tmp_path / "features.tsv", parts, output=tmp_path / "out", header_labels=True).compute()
    assert [os.path.basename(p) for p in written] == ["part-00001.libsvm", "part-00002.libsvm", "part-00003.libsvm"]
    assert b"".join(open(p, "rb").read() for p in written) == (tmp_path / "whole.libsvm").read_bytes()


@pytest.mark.parametrize("n", [3, (1, 3)], ids=["3", "1-3"])
def test_mine_ngrams_gives_the_one_machine_features_file(client, tmp_path, n):
    ids, sequences, labels = random_set(5, families=6)
    fasta = write_fasta(tmp_path / "set.fa", ids, sequences, labels)
    run("mine", "ng", "-n", n if n == 3 else "1-3", "-i", fasta, "--header-labels", "-o", tmp_path / "ng.tsv")
    bag = dask_bag.from_sequence(list(zip(ids, sequences, labels)), npartitions=5)
    mined = protfeat.dask.mine_ngrams(bag, n=n)
    assert mined.features_.to_string().encode() == (tmp_path / "ng.tsv").read_bytes()
    assert mined.n == n and isinstance(mined, protfeat.NgramVectorizer)
    # Each column holds the sequences the features file counts.
    assert list(np.asarray(mined.transform(sequences).sum(axis=0)).ravel()) == mined.features_.sequence_counts
