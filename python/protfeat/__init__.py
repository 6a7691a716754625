"""protfeat in Python: protein sequences into feature tables, through the command line's own
engines and files.

- ``read_fasta(path, header_labels=False)``: the ids and sequences of a FASTA file (plain, gzip
  or "-"), and with ``header_labels`` the class of each from the second word of its header.
- ``DescriptorVectorizer``, ``SubstitutionDescriptorVectorizer``, ``NgramVectorizer``,
  ``MotifVectorizer``: scikit-learn transformers that mine as ``protfeat mine dd|ddsm|ng|ma`` in
  ``fit`` and give the rows of ``protfeat encode`` in ``transform`` (sparse float64).
- ``load_features(path)``: a fitted vectorizer from a features file.
- ``load_table(path, ...)``: any table the command line writes, back as X, y, names and ids.
- ``protfeat.dask``: encoding and n-gram mining over a Dask cluster.

Errors of the input raise ValueError (TypeError for a value of the wrong type), files that
cannot be opened, read or written OSError, with the command line's message.
"""

from ._native import Features, version as __version__
from ._native import read_fasta as _read_fasta
from .tables import Table, load_table
from .vectorizers import (
    DescriptorVectorizer,
    MotifVectorizer,
    NgramVectorizer,
    SubstitutionDescriptorVectorizer,
    fitted_vectorizer,
    load_features,
)


def read_fasta(path, header_labels=False):
    """(ids, sequences) of a FASTA file, checked as the command line checks it: plain or gzip,
    "-" for standard input, ids unique, residues cleaned (upper case; blanks, '*', '-', '.'
    dropped). With ``header_labels``, (ids, sequences, labels): the class of each sequence is
    the second word of its header."""
    import os

    return _read_fasta(os.fspath(path), header_labels)


__all__ = [
    "DescriptorVectorizer",
    "Features",
    "MotifVectorizer",
    "NgramVectorizer",
    "SubstitutionDescriptorVectorizer",
    "Table",
    "fitted_vectorizer",
    "load_features",
    "load_table",
    "read_fasta",
]
