"""Reading back the tables that ``protfeat encode`` (and ``folds``) write.

``load_table(path)`` gives X (a csr_matrix of float64 with the table's column count), y (the
class names, None for a missing class; None when the table has no class column), the feature
names and the ids (from CSV and TSV, or from the ``--ids`` file given as ``ids=``).

The formats, as written (see src/workflow/table_formats.h):
  arff         @attribute lines (names quoted as Weka quotes them), @data, rows "0,1,...,class"
  sparse-arff  the same header, rows "{3 1,17 1,F class}" (F, the feature count, is the class)
  csv, tsv     header "id,NAME,...,class", rows "id,0,1,...,class" (RFC 4180 quoting)
  libsvm       "label idx:1 ...": the class number from 1 (0: missing), indices from 1

A LibSVM file says nothing of the columns that no row holds, nor of the class names: give the
features file it was written with (``features=``), or the column count (``n_features=``).
Without a features file, the class column of ARFF, CSV and TSV tables is the last column when
it is named ``class`` (mine writes features in upper case, so none of its features has that
name).
"""

import collections
import csv
import os

import numpy as np
import scipy.sparse

from . import _native

Table = collections.namedtuple("Table", ["X", "y", "feature_names", "ids"])

_ENCODING = {"encoding": "utf-8", "errors": "surrogateescape"}


def _features_of(features):
    if features is None or isinstance(features, _native.Features):
        return features
    if hasattr(features, "features_"):  # a fitted vectorizer
        return features.features_
    return _native.load_features(os.fspath(features))


_ARFF_ESCAPES = {"\\": "\\", "'": "'", '"': '"', "%": "%", "t": "\t", "n": "\n", "r": "\r"}


def _arff_name(text, at=0):
    """The name at text[at:] as the ARFF writer quoted it, and where it ends."""
    if at >= len(text) or text[at] != "'":
        end = at
        while end < len(text) and text[end] not in " ,{}":
            end += 1
        return text[at:end], end
    out, i = [], at + 1
    while text[i] != "'":
        if text[i] == "\\":
            i += 1
            out.append(_ARFF_ESCAPES.get(text[i], text[i]))
        else:
            out.append(text[i])
        i += 1
    return "".join(out), i + 1


def _arff_class(cell):
    return None if cell == "?" else _arff_name(cell)[0]


def _arff_header(lines):
    """The attribute names, the class names (None without a class attribute) and the index of
    the first data line."""
    names, values = [], []
    for number, line in enumerate(lines):
        if line.startswith("@attribute "):
            name, end = _arff_name(line, len("@attribute "))
            names.append((name, line[end] == " " and line[end + 1 :].startswith("{")))
            values.append(line[end + 1 :])
        elif line == "@data":
            break
    else:
        raise ValueError("no @data line: not an ARFF table")
    classes = None
    if names and names[-1][0] == "class" and names[-1][1]:
        declaration = values[-1]
        classes, i = [], 1
        while i < len(declaration) - 1:
            name, i = _arff_name(declaration, i)
            classes.append(name)
            i += 1  # the comma
        names.pop()
    return [n for n, _ in names], classes, number + 1


def _rows_to_csr(indptr, indices, data, columns):
    return scipy.sparse.csr_matrix(
        (np.asarray(data, dtype=np.float64), np.asarray(indices, dtype=np.int64),
         np.asarray(indptr, dtype=np.int64)),
        shape=(len(indptr) - 1, columns),
    )


def _read_arff(path, sparse):
    with open(path, newline="\n", **_ENCODING) as f:
        lines = f.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    names, classes, first = _arff_header(lines)
    columns = len(names)
    indptr, indices, data, y = [0], [], [], []
    for line in lines[first:]:
        if sparse:
            body = line[1:-1]
            if classes is not None:
                key = f"{columns} "
                if body.startswith(key):
                    pairs, cell = "", body[len(key):]
                else:
                    at = body.index("," + key)
                    pairs, cell = body[:at], body[at + len(key) + 1 :]
                y.append(_arff_class(cell))
            else:
                pairs = body
            numbers = np.array(pairs.replace(",", " ").split(), dtype=np.float64)
            index, value = numbers[0::2].astype(np.int64), numbers[1::2]
        else:
            if classes is not None:
                parts = line.split(",", columns) if columns else [line]
                y.append(_arff_class(parts[-1]))
                parts = parts[:-1]
            else:
                parts = line.split(",") if columns else []
            dense = np.array(parts, dtype=np.float64)
            index = np.flatnonzero(dense)
            value = dense[index]
        indices.extend(index.tolist())
        data.extend(value.tolist())
        indptr.append(len(indices))
    X = _rows_to_csr(indptr, indices, data, columns)
    return X, (None if classes is None else np.array(y, dtype=object)), names, None


def _read_delimited(path, separator):
    with open(path, newline="", **_ENCODING) as f:
        rows = csv.reader(f, delimiter=separator)
        header = next(rows)
        with_class = len(header) > 1 and header[-1] == "class"
        names = header[1:-1] if with_class else header[1:]
        columns = len(names)
        indptr, indices, data, y, ids = [0], [], [], [], []
        for row in rows:
            ids.append(row[0])
            dense = np.array(row[1 : 1 + columns], dtype=np.float64)
            index = np.flatnonzero(dense)
            indices.extend(index.tolist())
            data.extend(dense[index].tolist())
            indptr.append(len(indices))
            if with_class:
                y.append(row[-1] if row[-1] != "" else None)
    X = _rows_to_csr(indptr, indices, data, columns)
    return X, (np.array(y, dtype=object) if with_class else None), names, ids


def _read_libsvm(path, features, n_features):
    from sklearn.datasets import load_svmlight_file

    if features is not None:
        n_features = len(features)
    # The reader takes no column count of 0: a table without features is read with one.
    columns = None if n_features is None else max(n_features, 1)
    X, labels = load_svmlight_file(path, n_features=columns, zero_based=False, dtype=np.float64)
    if n_features == 0:
        X = X[:, :0]
    numbers = labels.astype(np.int64)
    if features is None:
        return X.tocsr(), numbers, None, None
    names = features.feature_names
    if not features.classes:
        return X.tocsr(), None, names, None
    classes = [None] + list(features.classes)
    if numbers.size and (numbers.min() < 0 or numbers.max() >= len(classes)):
        raise ValueError(f'the table "{path}" has a class number beyond the features\' classes')
    return X.tocsr(), np.array([classes[k] for k in numbers], dtype=object), names, None


def _read_ids(path):
    with open(path, "rb") as f:
        text = f.read()
    lines = text.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    return [line.decode("utf-8", "surrogateescape") for line in lines]


def load_table(path, features=None, n_features=None, ids=None, format=None):
    """Reads a table written by ``protfeat encode``: a Table(X, y, feature_names, ids).

    format: arff, sparse-arff, csv, tsv or libsvm (default: from the name's end, as encode
    chooses it); features: the features file the table was written with (a path, a Features
    object or a fitted vectorizer), which gives a LibSVM table its column count, names and class
    names, and is checked against the other tables; n_features: the column count of a LibSVM
    table without its features file; ids: the file that ``encode --ids`` wrote.
    """
    path = os.fspath(path)
    format = _native.table_format(path, format or "")  # as encode tells it
    features = _features_of(features)
    if format == "libsvm":
        X, y, names, row_ids = _read_libsvm(path, features, n_features)
    elif format in ("csv", "tsv"):
        X, y, names, row_ids = _read_delimited(path, "," if format == "csv" else "\t")
    else:
        X, y, names, row_ids = _read_arff(path, format == "sparse-arff")
    if features is not None and names != features.feature_names:
        raise ValueError(f'the columns of the table "{path}" are not the features given')
    if ids is not None:
        row_ids = _read_ids(os.fspath(ids))
        if len(row_ids) != X.shape[0]:
            raise ValueError(f"{len(row_ids)} ids for the {X.shape[0]} rows of the table \"{path}\"")
    return Table(X, y, names, row_ids)
