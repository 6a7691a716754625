"""Compares protfeat's count and tf-idf tables with scikit-learn's on the same n-grams.

usage: sklearn_values.py N FEATURES TRAIN.fa TEST.fa TABLE...

FEATURES is the features file of `mine ng -n N` on TRAIN.fa; each TABLE is named
PART.KIND.EXT (PART train or test, KIND count or tfidf, EXT the format: libsvm, csv, tsv, arff,
sparse.arff). scikit-learn builds the same matrices: CountVectorizer over character N-grams with
the features file's n-grams as its vocabulary, in their order, and TfidfTransformer with
sublinear tf fitted on the training counts. Counts must be equal, tf-idf values within 1e-12.
Prints one line per table and a last line "ok"; any difference ends with status 1, naming it.
"""
import csv
import sys

import numpy as np
from sklearn.datasets import load_svmlight_file
from sklearn.feature_extraction.text import CountVectorizer, TfidfTransformer


def fasta(path):
    """The sequences of a FASTA file, raised to upper case as protfeat reads them."""
    seqs, cur = [], None
    for line in open(path):
        line = line.strip()
        if line.startswith('>'):
            if cur is not None:
                seqs.append(''.join(cur))
            cur = []
        else:
            cur.append(line.upper())
    if cur is not None:
        seqs.append(''.join(cur))
    return seqs


def features_file(path):
    training, vocabulary, df = None, [], []
    in_header = True
    for line in open(path):
        fields = line.rstrip('\n').split('\t')
        if in_header:
            if fields[0] == '#training':
                training = int(fields[1])
            in_header = fields[0] != '#columns'
            continue
        vocabulary.append(fields[0])
        df.append(int(fields[-1]))
    return training, vocabulary, np.array(df)


def read_table(path, width):
    """The feature cells of a table of any format, as a dense array."""
    if path.endswith('.libsvm'):
        x, _ = load_svmlight_file(path, n_features=width, zero_based=False)
        return x.toarray()
    rows = []
    if path.endswith('.csv') or path.endswith('.tsv'):
        reader = csv.reader(open(path, newline=''), delimiter=',' if path.endswith('.csv') else '\t')
        header = next(reader)
        assert len(header) == width + 2, header
        for r in reader:
            rows.append([float(v) for v in r[1:width + 1]])
        return np.array(rows).reshape(-1, width)
    text = open(path).read()
    declared = [l for l in text.split('\n') if l.startswith('@attribute ')][:width]
    assert all(l.endswith(' numeric') for l in declared), 'attributes not numeric in ' + path
    for line in text.split('@data\n', 1)[1].splitlines():
        if line.startswith('{'):
            row = [0.0] * width
            for cell in line[1:-1].split(','):
                index, value = cell.split(' ', 1)
                if int(index) < width:
                    assert float(value) != 0, 'a zero cell written in ' + path
                    row[int(index)] = float(value)
            rows.append(row)
        else:
            rows.append([float(v) for v in line.split(',')[:width]])
    return np.array(rows).reshape(-1, width)


def main():
    n, features, train, test = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    training, vocabulary, df = features_file(features)
    parts = {'train': fasta(train), 'test': fasta(test)}
    vectorizer = CountVectorizer(analyzer='char', ngram_range=(n, n), lowercase=False,
                                 vocabulary={g: k for k, g in enumerate(vocabulary)})
    counts = {p: vectorizer.transform(s) for p, s in parts.items()}
    failed = []
    if training != len(parts['train']):
        failed.append('#training %s, not %d' % (training, len(parts['train'])))
    if not np.array_equal(df, (counts['train'] > 0).sum(axis=0).A1):
        failed.append('the sequences column is not the training document frequency')
    tfidf = TfidfTransformer(sublinear_tf=True).fit(counts['train'])
    want = {('count', p): c.toarray().astype(float) for p, c in counts.items()}
    want.update({('tfidf', p): tfidf.transform(c).toarray() for p, c in counts.items()})
    for path in sys.argv[5:]:
        part, kind = path.split('/')[-1].split('.')[:2]
        got = read_table(path, len(vocabulary))
        expected = want[(kind, part)]
        if got.shape != expected.shape:
            failed.append('%s: shape %s, not %s' % (path, got.shape, expected.shape))
            continue
        worst = np.abs(got - expected).max() if got.size else 0.0
        if worst > (0 if kind == 'count' else 1e-12):
            failed.append('%s: values differ by up to %g' % (path, worst))
        print('%s: %d rows, %d non-zero cells' % (path.split('/')[-1], got.shape[0],
                                                  np.count_nonzero(got)))
    if failed:
        print('\n'.join(failed))
        sys.exit(1)
    print('ok')


main()
