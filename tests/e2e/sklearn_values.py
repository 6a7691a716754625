"""protfeat's count and tf-idf tables against scikit-learn's on the same n-grams.

usage: sklearn_values.py N FEATURES TRAIN.fa TEST.fa TABLE...
FEATURES comes from `mine ng -n N` on TRAIN.fa; each TABLE is PART.KIND.EXT (train or test,
count or tfidf, any format). scikit-learn: CountVectorizer over character N-grams with the
features file's n-grams as vocabulary, in order, and TfidfTransformer(sublinear_tf=True) fitted
on the training counts. Counts must be equal, tf-idf within 1e-12; prints a line per table, then
"ok", or the differences and status 1.
"""
import csv
import sys

import numpy as np
from sklearn.datasets import load_svmlight_file
from sklearn.feature_extraction.text import CountVectorizer, TfidfTransformer


def fasta(path):  # raised to upper case, as protfeat reads residues
    return [''.join(r.split('\n')[1:]).upper() for r in open(path).read().split('>')[1:]]


def read_table(path, width):
    """The feature cells of a table of any format, dense."""
    if path.endswith('.libsvm'):
        return load_svmlight_file(path, n_features=width, zero_based=False)[0].toarray()
    if path.endswith('.csv') or path.endswith('.tsv'):
        rows = list(csv.reader(open(path, newline=''), delimiter=',' if path[-3] == 'c' else '\t'))
        return np.array([[float(v) for v in r[1:width + 1]] for r in rows[1:]]).reshape(-1, width)
    head, data = open(path).read().split('@data\n', 1)
    declared = [l for l in head.split('\n') if l.startswith('@attribute ')][:width]
    assert all(l.endswith(' numeric') for l in declared), path + ': not numeric'
    rows = []
    for line in data.splitlines():
        if not line.startswith('{'):
            rows.append([float(v) for v in line.split(',')[:width]])
            continue
        row = [0.0] * width
        for index, value in (cell.split(' ', 1) for cell in line[1:-1].split(',')):
            if int(index) < width:
                assert float(value) != 0, path + ': a zero cell written'
                row[int(index)] = float(value)
        rows.append(row)
    return np.array(rows).reshape(-1, width)


n, features = int(sys.argv[1]), open(sys.argv[2]).read().split('\n')
training = int(next(l for l in features if l.startswith('#training\t')).split('\t')[1])
lines = [l.split('\t') for l in features[features.index(next(l for l in features if l.startswith('#columns'))) + 1:] if l]
vocabulary, df = [f[0] for f in lines], np.array([int(f[-1]) for f in lines])
parts = {'train': fasta(sys.argv[3]), 'test': fasta(sys.argv[4])}
vectorizer = CountVectorizer(analyzer='char', ngram_range=(n, n), lowercase=False,
                             vocabulary={g: k for k, g in enumerate(vocabulary)})
counts = {p: vectorizer.transform(s) for p, s in parts.items()}
failed = []
if training != len(parts['train']) or not np.array_equal(df, (counts['train'] > 0).sum(axis=0).A1):
    failed.append('#training or the sequences column is not the training document frequency')
tfidf = TfidfTransformer(sublinear_tf=True).fit(counts['train'])
want = {('count', p): c.toarray().astype(float) for p, c in counts.items()}
want.update({('tfidf', p): tfidf.transform(c).toarray() for p, c in counts.items()})
for path in sys.argv[5:]:
    part, kind = path.split('.')[:2]
    got, expected = read_table(path, len(vocabulary)), want[(kind, part)]
    if got.shape != expected.shape:
        failed.append('%s: shape %s, not %s' % (path, got.shape, expected.shape))
    elif got.size and np.abs(got - expected).max() > (0 if kind == 'count' else 1e-12):
        failed.append('%s: values differ by up to %g' % (path, np.abs(got - expected).max()))
    print('%s: %d rows, %d non-zero cells' % (path, got.shape[0], np.count_nonzero(got)))
print('\n'.join(failed) if failed else 'ok')
sys.exit(1 if failed else 0)
