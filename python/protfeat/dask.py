"""protfeat over a Dask cluster: encoding any number of sequences with one features file, and
mining n-grams by parts, with the one-machine results exactly.

The sequences are a dask bag whose items are sequences (str), (id, sequence) or (id, sequence,
label) tuples, or a list of FASTA paths (each file one part, read on the worker that encodes it,
with the command line's checks). Every part is encoded on the workers with the same features: the
features file's text is what travels (one copy a worker), not the object. Items that are plain
sequences get the ids "PART.NUMBER" (both from 1) in written tables.

docs/DISTRIBUTED.md says what runs where, and how the other approaches would run across machines.
"""

import functools
import os

import dask
import dask.array
import dask.bag
import numpy as np
import scipy.sparse

from . import _native
from .vectorizers import NgramVectorizer, _jobs, _labels, fitted_vectorizer


def _features_text(features):
    """The features file's text of a Features object, a fitted vectorizer or a features file."""
    if isinstance(features, _native.Features):
        return features.to_string()
    if hasattr(features, "features_"):
        return features.features_.to_string()
    with open(os.fspath(features), encoding="utf-8", errors="surrogateescape", newline="") as f:
        return _native.Features.from_string(f.read()).to_string()


@functools.lru_cache(maxsize=4)
def _features(text):
    """The features of a text, read once a worker (their keyword automaton is built once too)."""
    return _native.Features.from_string(text)


def _part(source, number, from_file, header_labels):
    """(ids, sequences, labels or None) of one part: a FASTA file, or the items of a bag."""
    if from_file:
        read = _native.read_fasta(source, header_labels)
        return read if header_labels else (read[0], read[1], None)
    ids, sequences, labels = [], [], []
    for i, item in enumerate(source):
        if isinstance(item, (tuple, list)):
            ids.append(item[0])
            sequences.append(item[1])
            labels.append(item[2] if len(item) > 2 else None)
        else:
            ids.append(f"{number + 1}.{i + 1}")
            sequences.append(item)
            labels.append(None)
    if all(label is None for label in labels):
        labels = None
    elif any(label is None for label in labels):
        raise ValueError(f"part {number + 1}: some items have a label and some have none")
    else:
        labels = _labels(labels, "the labels")
    return ids, sequences, labels


def _sources(sequences, header_labels):
    """The parts of the input as (source, from_file): delayed bag partitions, or FASTA paths."""
    if isinstance(sequences, dask.bag.Bag):
        if header_labels:
            raise ValueError("header_labels applies to FASTA files, not to a bag")
        return [(part, False) for part in sequences.to_delayed()]
    if isinstance(sequences, (str, bytes, os.PathLike)):
        raise TypeError("sequences must be a dask bag or a list of FASTA paths, not one path")
    return [(os.fspath(path), True) for path in sequences]


def _block(text, source, number, from_file, header_labels):
    features = _features(text)
    _, sequences, _ = _part(source, number, from_file, header_labels)
    indptr, indices, data = _native.encode(features, sequences, 1)
    return scipy.sparse.csr_matrix((data, indices, indptr), shape=(len(indptr) - 1, len(features)))


def _table(text, source, number, from_file, header_labels, path, format, n_jobs):
    ids, sequences, labels = _part(source, number, from_file, header_labels)
    _native.write_table(_features(text), path, ids, sequences, labels, format, n_jobs)
    return path


def encode(features, sequences, output=None, format="libsvm", header_labels=False, n_jobs=1):
    """The rows of every part, encoded on the workers with the same features.

    Without output: a dask array of scipy.sparse.csr_matrix blocks, one a part (row counts
    unknown until computed), whose rows end to end are those of ``transform`` on the whole set.
    With output=FOLDER: one table a part, FOLDER/part-00001.EXT and on (the format's extension),
    each as ``protfeat encode`` writes it (LibSVM tables end to end are the whole set's table);
    returns a delayed list of the paths, to compute.

    features: a Features object, a fitted vectorizer or a features file; header_labels: the class
    of each sequence of FASTA parts from the second word of its header (for tables); n_jobs:
    threads of each table's encoding.
    """
    text = _features_text(features)
    columns = len(_features(text))
    shipped = dask.delayed(text, pure=True)
    sources = _sources(sequences, header_labels)
    if output is None:
        meta = scipy.sparse.csr_matrix((0, columns), dtype=np.float64)
        blocks = [
            dask.array.from_delayed(
                dask.delayed(_block, pure=True)(shipped, source, number, from_file, header_labels),
                shape=(np.nan, columns), dtype=np.float64, meta=meta,
            )
            for number, (source, from_file) in enumerate(sources)
        ]
        return dask.array.concatenate(blocks, axis=0)
    extension = _native.format_extension(format)
    os.makedirs(output, exist_ok=True)
    width = max(5, len(str(len(sources))))
    return dask.delayed(list)([
        dask.delayed(_table, pure=True)(
            shipped, source, number, from_file, header_labels,
            os.path.join(os.fspath(output), f"part-{number + 1:0{width}d}{extension}"),
            format, _jobs(n_jobs),
        )
        for number, (source, from_file) in enumerate(sources)
    ])


def _ngram_map(settings, source, number, from_file, header_labels):
    """The n-grams of one part: by length, each n-gram in order of first appearance in the part
    with the number of the part's sequences that contain it; the part's classes in order of
    first appearance; its sequence count."""
    _, sequences, labels = _part(source, number, from_file, header_labels)
    classes = list(dict.fromkeys(labels)) if labels else []
    by_length = {}
    if sequences:
        features = _native.mine("ng", sequences, None, settings)
        for text, count in zip(features.feature_names, features.sequence_counts):
            by_length.setdefault(len(text), {})[text] = count
    return by_length, classes, len(sequences)


def _ngram_merge(first, second):
    """Two adjacent parts' n-grams as one: the first part's in its order, then the second's new
    ones in theirs (global first appearance orders by part, then by place in the part), counts
    added."""
    by_length, classes, count = first
    merged = {length: dict(grams) for length, grams in by_length.items()}
    for length, grams in second[0].items():
        into = merged.setdefault(length, {})
        for text, n in grams.items():
            into[text] = into.get(text, 0) + n
    return merged, list(dict.fromkeys(classes + second[1])), count + second[2]


def _ngram_features(settings, merged):
    by_length, classes, count = merged
    if count == 0:
        raise ValueError("no sequence to mine")
    texts, counts = [], []
    for length in sorted(by_length):
        texts.extend(by_length[length])
        counts.extend(by_length[length].values())
    return _native.counted_features("ng", settings, classes, texts, counts, count)


def mine_ngrams(sequences, n=3, header_labels=False):
    """The n-grams of all the parts, as ``protfeat mine ng`` finds them on the whole set: each
    part's n-grams are found on a worker (map), then adjacent parts are merged, in order, up a
    tree (reduce). Labels (the third item of a bag's tuples, or header_labels for FASTA parts)
    record the classes. Returns a fitted NgramVectorizer (compute happens here)."""
    settings = NgramVectorizer(n=n)._setting_texts()
    _native.check_settings("ng", settings)  # before any work
    parts = [
        dask.delayed(_ngram_map, pure=True)(settings, source, number, from_file, header_labels)
        for number, (source, from_file) in enumerate(_sources(sequences, header_labels))
    ]
    if not parts:
        raise ValueError("no sequence to mine")
    while len(parts) > 1:
        parts = [
            dask.delayed(_ngram_merge, pure=True)(parts[i], parts[i + 1]) if i + 1 < len(parts)
            else parts[i]
            for i in range(0, len(parts), 2)
        ]
    features = dask.delayed(_ngram_features, pure=True)(settings, parts[0]).compute()
    vectorizer = fitted_vectorizer(features)
    vectorizer.n = n
    return vectorizer


__all__ = ["encode", "mine_ngrams"]
