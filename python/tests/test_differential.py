"""The package against the command line: fit then transform is mine then encode, save is the
features file byte for byte, load_features and load_table read back what the command line
writes, and write_table writes its tables."""

import numpy as np
import pytest
from sklearn.base import clone
from sklearn.datasets import load_svmlight_file

import protfeat
from conftest import SETS, protfeat as run, random_set, write_fasta

# (vectorizer, the command line's approach and options, mined with labels[, encode's options])
CASES = {
    "dd-murphy10-tfidf": (
        protfeat.DescriptorVectorizer(alpha=0.5, beta=0.2, alphabet="murphy10", values="tfidf"),
        ["dd", "--alpha", "0.5", "--beta", "0.2", "--alphabet", "murphy10"], True, ["--values", "tfidf"],
    ),
    "ng-groups-count": (
        protfeat.NgramVectorizer(n=(1, 2), alphabet="LVIM,ST,FYW", values="count"),
        ["ng", "-n", "1-2", "--alphabet", "LVIM,ST,FYW"], False, ["--values", "count"],
    ),
    "ma-dayhoff6-tfidf": (
        protfeat.MotifVectorizer(min_sequences=20, max_length=5, alphabet="dayhoff6", values="tfidf"),
        ["ma", "--min-sequences", "20", "--max-length", "5", "--alphabet", "dayhoff6"], True, ["--values", "tfidf"],
    ),
    "dd": (protfeat.DescriptorVectorizer(alpha=0.5, beta=0.2), ["dd", "--alpha", "0.5", "--beta", "0.2"], True),
    "dd-low": (protfeat.DescriptorVectorizer(alpha=0.3, beta=0.05), ["dd", "--alpha", "0.3", "--beta", "0.05"], True),
    "ddsm": (
        protfeat.SubstitutionDescriptorVectorizer(alpha=0.4, beta=0.2, matrix="PAM30", similarity=0.3),
        ["ddsm", "--alpha", "0.4", "--beta", "0.2", "--matrix", "PAM30", "--similarity", "0.3"],
        True,
    ),
    "ng": (protfeat.NgramVectorizer(), ["ng"], False),
    "ng-range": (protfeat.NgramVectorizer(n=(2, 4)), ["ng", "-n", "2-4"], True),
    "ma": (protfeat.MotifVectorizer(min_sequences=12, max_length=6), ["ma", "--min-sequences", "12", "--max-length", "6"], False),
    "ma-distance": (
        protfeat.MotifVectorizer(min_length=6, distance=1, min_sequences=8),
        ["ma", "--min-length", "6", "--distance", "1", "--min-sequences", "8"],
        True,
    ),
}


def read_libsvm(path, columns):
    """A LibSVM table with its column count (scikit-learn's reader takes no count of 0)."""
    X, _ = load_svmlight_file(str(path), n_features=max(columns, 1), zero_based=False)
    return X[:, :columns]


# An edit-distance search over the whole sample takes a minute: the random sets hold that case.
PAIRS = [(c, s) for c in CASES for s in SETS if (c, s) != ("ma-distance", "sample")]


@pytest.mark.parametrize("case,labelled_set", PAIRS, indirect=["labelled_set"])
def test_fit_transform_is_mine_then_encode(case, labelled_set, tmp_path):
    path, ids, sequences, labels = labelled_set
    vectorizer, approach, with_labels, *encoding = CASES[case]
    encoding = encoding[0] if encoding else []
    vectorizer = clone(vectorizer)
    given = ["--header-labels"] if with_labels else []
    y = labels if with_labels else None
    features = tmp_path / "features.tsv"
    run("mine", *approach, "-i", path, *given, "-o", features)
    run("encode", "-f", features, "-i", path, *given, "-o", tmp_path / "table.libsvm", *encoding)

    vectorizer.fit(sequences, y)
    vectorizer.save(tmp_path / "saved.tsv")
    assert (tmp_path / "saved.tsv").read_bytes() == features.read_bytes()
    assert vectorizer.features_.to_string().encode() == features.read_bytes()

    X = vectorizer.transform(sequences)
    expected = read_libsvm(tmp_path / "table.libsvm", len(vectorizer.features_))
    assert X.dtype == np.float64 and X.shape == expected.shape
    assert (X != expected).nnz == 0
    assert (vectorizer.set_params(n_jobs=2).transform(sequences) != X).nnz == 0

    # The features file read back: the same rows, and parameters that mine the same features.
    loaded = protfeat.load_features(features, values=vectorizer.values)
    assert type(loaded) is type(vectorizer)
    assert (loaded.transform(sequences) != X).nnz == 0
    assert clone(loaded).fit(sequences, y).features_.to_string() == vectorizer.features_.to_string()


ODD_CLASSES = {"fam1": "a b", "fam2": "c,d", "fam3": "it's \"q\"", "fam4": "?"}
FORMATS = {"arff": ".arff", "sparse-arff": ".sparse.arff", "csv": ".csv", "tsv": ".tsv", "libsvm": ".libsvm"}


@pytest.fixture(scope="module")
def odd_set(tmp_path_factory):
    """A random set whose class names need quoting in every format, with its label table."""
    folder = tmp_path_factory.mktemp("odd")
    ids, sequences, labels = random_set(3)
    labels = [ODD_CLASSES[label] for label in labels]
    fasta = write_fasta(folder / "set.fa", ids, sequences, ["x"] * len(ids))
    (folder / "labels.tsv").write_text("".join(f"{i}\t{c}\n" for i, c in zip(ids, labels)))
    return folder, fasta, ids, sequences, labels


@pytest.mark.parametrize("with_labels", [True, False], ids=["classes", "no-classes"])
@pytest.mark.parametrize("format", FORMATS)
def test_tables_read_back_and_written_alike(format, with_labels, odd_set, tmp_path):
    folder, fasta, ids, sequences, labels = odd_set
    # tf-idf cells with classes (numeric attributes), 0/1 cells without.
    vectorizer = (protfeat.DescriptorVectorizer(alpha=0.4, beta=0.2, values="tfidf") if with_labels
                  else protfeat.NgramVectorizer(n=2))
    y = labels if with_labels else None
    vectorizer.fit(sequences, y)
    features = tmp_path / "features.tsv"
    vectorizer.save(features)
    given = ["-l", folder / "labels.tsv"] if with_labels else []
    table, id_file = tmp_path / ("table" + FORMATS[format]), tmp_path / "ids.txt"
    run("encode", "-f", features, "-i", fasta, *given, "-o", table, "--ids", id_file, "--values", vectorizer.values)
    assert id_file.read_text().split("\n") == ids + [""]

    read = protfeat.load_table(table, features=features, ids=id_file)
    X = vectorizer.transform(sequences)
    assert read.X.shape == X.shape and (read.X != X).nnz == 0
    assert list(read.feature_names) == list(vectorizer.get_feature_names_out())
    assert read.ids == ids
    assert (list(read.y) if with_labels else read.y) == (labels if with_labels else None)
    if format != "libsvm":  # the table alone tells its columns and classes
        alone = protfeat.load_table(table)
        assert (alone.X != X).nnz == 0 and alone.feature_names == read.feature_names
        assert (alone.y is None) == (read.y is None) and (alone.y is None or list(alone.y) == list(read.y))
        assert alone.ids == (ids if format in ("csv", "tsv") else None)

    written = tmp_path / ("written" + FORMATS[format])
    vectorizer.write_table(written, sequences, y, ids=ids)
    assert written.read_bytes() == table.read_bytes()


def test_libsvm_column_count_comes_from_the_features(tmp_path):
    # The last feature occurs in no row: only the features file tells that its column exists.
    vectorizer = protfeat.NgramVectorizer(n=2).fit(["ACDE", "ACW"])
    rows = ["ACD", "CDE"]
    vectorizer.write_table(tmp_path / "t.libsvm", rows)
    assert protfeat.load_table(tmp_path / "t.libsvm", features=vectorizer).X.shape == (2, 4)
    assert protfeat.load_table(tmp_path / "t.libsvm", n_features=4).X.shape == (2, 4)
    assert protfeat.load_table(tmp_path / "t.libsvm").X.shape == (2, 3)


def test_background_is_the_command_lines(tmp_path):
    ids, sequences, labels = random_set(5, families=4)
    train = [i for i, label in enumerate(labels) if label != "fam4"]
    rest = [i for i, label in enumerate(labels) if label == "fam4"]
    pick = lambda which, what: [what[i] for i in which]
    fasta = write_fasta(tmp_path / "train.fa", pick(train, ids), pick(train, sequences), pick(train, labels))
    background = write_fasta(tmp_path / "bg.fa", pick(rest, ids), pick(rest, sequences), pick(rest, labels))
    for vectorizer, approach in ((protfeat.DescriptorVectorizer(0.6, 0.1, values="tfidf"), "dd"),
                                 (protfeat.SubstitutionDescriptorVectorizer(0.6, 0.1), "ddsm")):
        run("mine", approach, "--alpha", "0.6", "--beta", "0.1", "-i", fasta, "--header-labels",
            "--background", background, "-o", tmp_path / "f.tsv")
        vectorizer.set_params(background=pick(rest, sequences)).fit(pick(train, sequences), pick(train, labels))
        assert vectorizer.features_.to_string().encode() == (tmp_path / "f.tsv").read_bytes()
        assert "#background\t" in vectorizer.features_.to_string()
    with pytest.raises(ValueError, match="background"):
        protfeat._native.mine("ng", sequences, None, {}, sequences)
