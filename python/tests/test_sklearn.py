"""The vectorizers as scikit-learn estimators: in pipelines, cross-validation and grid search,
cloned, pickled, their parameters read and set."""

import pickle

import numpy as np
import pytest
from sklearn.base import clone
from sklearn.model_selection import GridSearchCV, StratifiedKFold, cross_val_score
from sklearn.pipeline import make_pipeline
from sklearn.svm import LinearSVC

import protfeat
from conftest import SAMPLE


@pytest.fixture(scope="module")
def sample():
    _, sequences, labels = protfeat.read_fasta(SAMPLE, header_labels=True)
    return sequences, np.array(labels)


def test_pipeline_in_cross_validation_and_grid_search(sample):
    X, y = sample
    folds = StratifiedKFold(3, shuffle=True, random_state=0)
    pipeline = make_pipeline(protfeat.DescriptorVectorizer(alpha=0.5, beta=0.2), LinearSVC(dual=True))
    scores = cross_val_score(pipeline, X, y, cv=folds)
    assert scores.shape == (3,) and scores.min() > 0.5  # four classes: chance is a quarter

    search = GridSearchCV(pipeline, {"descriptorvectorizer__alpha": [0.3, 0.6]}, cv=folds).fit(X, y)
    assert search.best_params_["descriptorvectorizer__alpha"] in (0.3, 0.6)
    # The refitted vectorizer is mined with the chosen alpha, on all the sequences.
    best = search.best_estimator_.named_steps["descriptorvectorizer"]
    assert best.features_.settings["alpha"] == str(search.best_params_["descriptorvectorizer__alpha"])
    assert search.predict(X[:5]).shape == (5,)


@pytest.mark.parametrize(
    "vectorizer",
    [
        protfeat.SubstitutionDescriptorVectorizer(alpha=0.5, beta=0.2, matrix="BLOSUM80"),
        protfeat.NgramVectorizer(n=(2, 3), n_jobs=2),
        protfeat.MotifVectorizer(min_sequences=30, max_length=5),
    ],
    ids=["ddsm", "ng", "ma"],
)
def test_clone_pickle_and_params_round_trip(vectorizer, sample):
    X, y = sample
    params = vectorizer.get_params()
    assert clone(vectorizer).get_params() == params
    other = clone(vectorizer).set_params(n_jobs=3, values="binary")
    assert other.get_params()["n_jobs"] == 3
    assert other.set_params(**params).get_params() == params
    fitted = clone(vectorizer).fit(X, y)
    rows = fitted.transform(X)
    assert rows.shape == (len(X), len(fitted.get_feature_names_out()))

    copy = pickle.loads(pickle.dumps(fitted))
    assert copy.get_params() == params and list(copy.classes_) == list(fitted.classes_)
    assert copy.features_.to_string() == fitted.features_.to_string()
    assert (copy.transform(X) != rows).nnz == 0
    assert not hasattr(clone(fitted), "features_")  # clone gives the unfitted estimator

    assert fitted.set_output(transform="default") is fitted
    assert (fitted.transform(X) != rows).nnz == 0
