"""scikit-learn transformers over protfeat's engines.

Each vectorizer mines its features on the sequences given to ``fit`` (as ``protfeat mine`` does)
and ``transform`` gives one row per sequence, a ``scipy.sparse.csr_matrix`` of float64 with one
column per feature (as ``protfeat encode`` does). Their parameters are the command line's
approach options; each goes to the native module as the text of its setting, checked by the
same parser as the command line's option and the features file's ``#setting`` line.

Output is always sparse: ``set_output(transform="default")`` keeps it so, and
``set_output(transform="pandas")`` makes ``transform`` fail (pandas output takes no sparse data).
"""

import numbers
import os
import re

import numpy as np
import scipy.sparse
from sklearn.base import BaseEstimator, TransformerMixin
from sklearn.utils.validation import check_is_fitted

from . import _native

_VALUE_KINDS = ("binary", "count", "tfidf")


def _setting_text(name, value):
    """The text of a parameter's value, as the command line would be given it."""
    if isinstance(value, str):
        return value
    if isinstance(value, bool):
        return str(value)  # refused by the setting's parser, with its message
    if isinstance(value, numbers.Integral):
        return str(int(value))
    if isinstance(value, numbers.Real):
        return repr(float(value))
    if isinstance(value, tuple) and len(value) == 2:  # a range low-high
        return _setting_text(name, value[0]) + "-" + _setting_text(name, value[1])
    raise TypeError(f"{name}: {value!r} is not a number or a text")


def _setting_value(text):
    """A parameter's value from the text of its setting in a features file."""
    if re.fullmatch(r"[+-]?\d+", text):
        return int(text)
    if m := re.fullmatch(r"(\d+)-(\d+)", text):
        return (int(m.group(1)), int(m.group(2)))
    try:
        return float(text)
    except ValueError:
        return text


def _sequences(X, what="X"):
    """X as a list of sequences (str); the native module checks each one."""
    if isinstance(X, (str, bytes)):
        raise TypeError(f"{what} must be a list of sequences (str), not a single {type(X).__name__}")
    if getattr(X, "ndim", 1) != 1:
        raise ValueError(f"{what} must be one-dimensional: a list of sequences (str)")
    if isinstance(X, (list, tuple)):
        return X
    if isinstance(X, np.ndarray):
        return X.tolist()
    return list(X)


def _labels(y, what="y"):
    """Class names from y: str as they are, whole numbers as their decimal text."""
    labels = []
    for i, label in enumerate(_sequences(y, what)):
        if isinstance(label, str):
            labels.append(label)
        elif isinstance(label, numbers.Integral):
            labels.append(str(int(label)))
        else:
            raise ValueError(
                f"{what} holds class names (str) or whole numbers; {what}[{i}] is {label!r}"
            )
    return labels


def _jobs(n_jobs):
    """Threads for n_jobs, as scikit-learn counts them (None: 1; -1: every core)."""
    if n_jobs is None:
        return 1
    if not isinstance(n_jobs, numbers.Integral) or isinstance(n_jobs, bool) or n_jobs == 0:
        raise ValueError(f"n_jobs must be a whole number other than 0, or None, not {n_jobs!r}")
    if n_jobs > 0:
        return int(n_jobs)
    return max(1, (os.cpu_count() or 1) + 1 + int(n_jobs))


def _check_values(values):
    if values not in _VALUE_KINDS:
        raise ValueError(f"values={values!r}: the values are " + " or ".join(map(repr, _VALUE_KINDS)))


class _FeatureVectorizer(TransformerMixin, BaseEstimator):
    """What the four vectorizers share: mining in fit, rows in transform, the features file."""

    _approach = None
    _needs_labels = False
    _settings = {}  # parameter -> setting name

    def _setting_texts(self):
        return {
            setting: _setting_text(param, getattr(self, param))
            for param, setting in self._settings.items()
            if getattr(self, param) is not None
        }

    def fit(self, X, y=None):
        """Mines the features of X (a list of sequences), with the classes of y when given."""
        _check_values(self.values)
        _jobs(self.n_jobs)
        sequences = _sequences(X)
        if y is None and self._needs_labels:
            raise ValueError(
                f"{type(self).__name__} needs y: {self._approach} mines the features that tell "
                "the classes apart"
            )
        labels = None if y is None else _labels(y)
        background = getattr(self, "background", None)
        if background is not None:
            background = _sequences(background, "background")
        self.features_ = _native.mine(
            self._approach, sequences, labels, self._setting_texts(), background
        )
        self.classes_ = np.array(self.features_.classes, dtype=object)
        return self

    def transform(self, X):
        """The rows of X: a csr_matrix of float64, one row per sequence, one column per feature."""
        check_is_fitted(self, "features_")
        _check_values(self.values)
        sequences = _sequences(X)
        if len(sequences) == 0:
            raise ValueError("X holds no sequence")
        indptr, indices, data = _native.encode(
            self.features_, sequences, _jobs(self.n_jobs), self.values
        )
        return scipy.sparse.csr_matrix(
            (data, indices, indptr), shape=(len(indptr) - 1, len(self.features_))
        )

    def get_feature_names_out(self, input_features=None):
        """The features, in column order: the table's attribute names."""
        check_is_fitted(self, "features_")
        return np.asarray(self.features_.feature_names, dtype=object)

    def save(self, path):
        """Writes the features file, as ``protfeat mine`` writes it."""
        check_is_fitted(self, "features_")
        self.features_.save(os.fspath(path))

    def write_table(self, path, X, y=None, ids=None, format=None):
        """Writes the table of X as ``protfeat encode`` writes it.

        The format comes from the name's end (.arff, .sparse.arff, .csv, .tsv, .libsvm) unless
        given (arff, sparse-arff, csv, tsv, libsvm); ids default to the sequence numbers from 1;
        a label None is the missing class.
        """
        check_is_fitted(self, "features_")
        _check_values(self.values)
        sequences = _sequences(X)
        if ids is None:
            ids = [str(i + 1) for i in range(len(sequences))]
        labels = None
        if y is not None:
            labels = [None if label is None else _labels([label])[0] for label in _sequences(y, "y")]
        _native.write_table(
            self.features_, os.fspath(path), _sequences(ids, "ids"), sequences, labels,
            format or "", _jobs(self.n_jobs), self.values,
        )

    def _more_tags(self):
        return {"X_types": ["string"], "requires_y": self._needs_labels}


class DescriptorVectorizer(_FeatureVectorizer):
    """Discriminative descriptors (``protfeat mine dd``): substrings found in at least the share
    alpha of the sequences of one class and in at most the share beta of the other sequences.
    Needs y."""

    _approach = "dd"
    _needs_labels = True
    _settings = {"alpha": "alpha", "beta": "beta", "alphabet": "alphabet"}

    def __init__(self, alpha, beta, alphabet=None, values="binary", background=None, n_jobs=None):
        self.alpha = alpha
        self.beta = beta
        self.alphabet = alphabet
        self.values = values
        self.background = background
        self.n_jobs = n_jobs


class SubstitutionDescriptorVectorizer(_FeatureVectorizer):
    """The descriptors of DescriptorVectorizer pruned by a substitution matrix (``protfeat mine
    ddsm``): a descriptor this similar to an earlier one of its length is left out. Needs y."""

    _approach = "ddsm"
    _needs_labels = True
    _settings = {
        "alpha": "alpha",
        "beta": "beta",
        "matrix": "matrix",
        "similarity": "similarity",
        "alphabet": "alphabet",
    }

    def __init__(self, alpha, beta, matrix="BLOSUM62", similarity=0.5, alphabet=None,
                 values="binary", background=None, n_jobs=None):
        self.alpha = alpha
        self.beta = beta
        self.matrix = matrix
        self.similarity = similarity
        self.alphabet = alphabet
        self.values = values
        self.background = background
        self.n_jobs = n_jobs


class NgramVectorizer(_FeatureVectorizer):
    """Every distinct n-gram of the training sequences (``protfeat mine ng``), in order of first
    appearance; n is a length or a range (low, high), shortest first. y, when given, records the
    classes."""

    _approach = "ng"
    _settings = {"n": "n", "alphabet": "alphabet"}

    def __init__(self, n=3, alphabet=None, values="binary", n_jobs=None):
        self.n = n
        self.alphabet = alphabet
        self.values = values
        self.n_jobs = n_jobs


class MotifVectorizer(_FeatureVectorizer):
    """Active motifs (``protfeat mine ma``): substrings of min_length residues or more found in
    at least min_sequences sequences (None: a quarter of them, at least 1), within the edit
    distance given. Mining stops with a ValueError past max_features motifs. y, when given,
    records the classes."""

    _approach = "ma"
    _settings = {
        "min_length": "min-length",
        "max_length": "max-length",
        "min_sequences": "min-sequences",
        "distance": "distance",
        "max_features": "max-features",
        "alphabet": "alphabet",
    }

    def __init__(self, min_length=3, max_length=None, min_sequences=None, distance=0,
                 max_features=10000000, alphabet=None, values="binary", n_jobs=None):
        self.min_length = min_length
        self.max_length = max_length
        self.min_sequences = min_sequences
        self.distance = distance
        self.max_features = max_features
        self.alphabet = alphabet
        self.values = values
        self.n_jobs = n_jobs


_BY_APPROACH = {
    cls._approach: cls
    for cls in (DescriptorVectorizer, SubstitutionDescriptorVectorizer, NgramVectorizer,
                MotifVectorizer)
}


def fitted_vectorizer(features):
    """The vectorizer of the features' approach, fitted with them; its parameters are the
    features' settings (settings it has no parameter for are left to the features)."""
    cls = _BY_APPROACH[features.approach]
    settings = features.settings
    params = {
        param: _setting_value(settings[setting])
        for param, setting in cls._settings.items()
        if setting in settings
    }
    vectorizer = cls(**params)
    vectorizer.features_ = features
    vectorizer.classes_ = np.array(features.classes, dtype=object)
    return vectorizer


def load_features(path, values="binary"):
    """A fitted vectorizer from a features file written by ``protfeat mine`` (or ``save``): its
    transform gives the rows of ``protfeat encode --values VALUES`` with that file (the values
    are chosen at encoding, not recorded in the file)."""
    _check_values(values)
    vectorizer = fitted_vectorizer(_native.load_features(os.fspath(path)))
    vectorizer.values = values
    return vectorizer
