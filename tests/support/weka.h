// The ARFF contexts exist to be read by Weka: these helpers run its command-line tools on a file
// (Debian package weka, /usr/share/java/weka.jar). Tests skip when it is not installed.
#pragma once
#include <string>

bool weka_available();

struct WekaResult {
  bool ok = false;        // Weka read the file and finished
  double accuracy = 0.0;  // percentage of correctly classified instances (cross-validation)
  std::string output;     // everything Weka printed
};

// Trains `classifier` (e.g. "weka.classifiers.trees.J48") on `arff` with `folds`-fold
// cross-validation.
WekaResult weka_evaluate(const std::string& arff,
                         const std::string& classifier = "weka.classifiers.trees.J48",
                         int folds = 5);

// True when Weka parses `arff` (its dataset summary tool reads the whole file); `output`
// receives what Weka printed.
bool weka_parses(const std::string& arff, std::string* output = nullptr);

// Trains `classifier` on `train` and evaluates it on `test` (-t train -T test); accuracy is
// the test set's. Weka refuses the pair ("not compatible") unless both headers agree.
WekaResult weka_train_test(const std::string& train, const std::string& test,
                           const std::string& classifier = "weka.classifiers.trees.J48");
