// The features file keeps every byte of feature and class names through a write and a read,
// and refuses what it cannot read, naming the line.
#include "workflow/features_file.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <tuple>

#include "support/run_program.h"
#include "support/streams.h"

TEST(FeaturesFile, EveryByteOfNamesSurvivesTheRoundTrip) {
  TempDir dir;
  const std::string path = (dir.path() / "f.tsv").string();
  auto fields = [](const Feature& f) {
    return std::tie(f.text, f.families, f.family, f.support, f.probability, f.sequences);
  };
  std::mt19937 rng(9);
  for (const ApproachInfo& info : approaches()) {
    const Approach approach = info.approach;
    FeatureSet set;
    set.version = "2.0.0";
    // Settings other than the defaults, each as the command line would check it.
    set.settings = resolved({.approach = approach,
                             .alpha = 0.25,
                             .beta = 0.125,
                             .matrix = "PAM30",
                             .similarity = 0.75,
                             .n = 2,
                             .nMax = 5,
                             .minLength = 4,
                             .minSequences = 7,
                             .distance = 2},
                            100);
    // Awkward names: separators, escapes, line ends, a leading '#', the empty name, any byte.
    set.classes = {"a|b", "\\", "tab\there", "line\nend\r", "#class", "", "|", "\\|"};
    std::string bytes;
    for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
    set.classes.push_back(bytes);
    std::set<std::string> texts = {"id", "class"};  // the tables' own columns
    for (int k = 0; k < 40; ++k) {
      Feature f;
      // Each feature once.
      do {
        f.text.clear();
        for (size_t n = rng() % 6; n > 0; --n) f.text += static_cast<char>(rng() % 256);
        if (k == 0) f.text = "#columns";  // after the header, a feature line may begin with '#'
      } while (!texts.insert(f.text).second);
      if (approach == Approach::Dd) {
        for (size_t n = 1 + rng() % 3; n > 0; --n)
          f.families.push_back(set.classes[rng() % set.classes.size()]);
        f.support = "3/4";
      } else if (approach == Approach::Ddsm) {
        f.family = set.classes[rng() % set.classes.size()];
        f.support = "1/2";
        f.probability = "0.862826";
      } else {
        f.sequences = rng();
      }
      set.features.push_back(f);
    }
    OutFile out = OutFile::create(path);
    write_features(out, set);
    out.close();
    const FeatureSet back = read_features(path);
    SCOPED_TRACE(info.name);
    EXPECT_EQ(std::tie(back.version, back.classes), std::tie(set.version, set.classes));
    EXPECT_EQ(back.approach(), approach);
    EXPECT_EQ(settings_lines(back.settings), settings_lines(set.settings));
    ASSERT_EQ(back.features.size(), set.features.size());
    for (size_t k = 0; k < set.features.size(); ++k)
      EXPECT_EQ(fields(back.features[k]), fields(set.features[k])) << k;
  }
}

TEST(FeaturesFile, RefusesWhatItCannotReadNamingTheLine) {
  TempDir dir;
  const std::string head = "#protfeat\t2.0.0\n#approach\tng\n";
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"", "line 1: the file ends before its #columns line"},
      {"ACD\t3\n", "line 1: not a features file"},
      {"#protfeat\t2\n#approach\txx\n", "line 2: unknown approach \"xx\""},
      {head + "#class\tx\n#class\tx\n#columns\tfeature\tsequences\n",
       "line 4: the class \"x\" is named twice"},
      {head + "#columns\tfeature\tfamilies\tsupport\n",
       "line 3: the columns of an ng features file"},
      {head + "#columns\tfeature\tsequences\nAC\\qD\t1\n",
       "line 4: a backslash that starts no escape"},
      {head + "#columns\tfeature\tsequences\nACD\tmany\n",
       "line 4: the column sequences: \"many\" is not a whole number"},
      {head + "#stray\n#columns\tfeature\tsequences\n", "line 3: a header line"},
      // Settings are checked as the command line checks them.
      {head + "#setting\tn\t0\n", "line 3: the setting n must be a whole number from 1 to"},
      {head + "#setting\tn\t3x\n", "line 3: the setting n: \"3x\" is not a whole number"},
      {head + "#setting\talpha\t0.5\n", "line 3: \"alpha\" is not a setting of ng"},
      {"#protfeat\t2\n#setting\tn\t3\n", "line 2: no #approach line before the settings"},
  };
  for (const auto& [text, message] : bad) {
    dir.write("f.tsv", text);
    const auto [status, err] = ends([&] { read_features((dir.path() / "f.tsv").string()); });
    EXPECT_EQ(status, 1) << text;
    EXPECT_NE(err.find("f.tsv, " + message), std::string::npos) << err;
  }
}
