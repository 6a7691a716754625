// mine, encode and folds: reading, mining, encoding and the staged outputs.
#include "workflow/commands.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <unordered_map>

#include "core/progress.h"
#include "core/run_exit.h"
#include "workflow/encoder.h"
#include "workflow/fasta_reader.h"
#include "workflow/features_file.h"
#include "workflow/folds.h"
#include "workflow/label_source.h"
#include "workflow/row_values.h"
#include "workflow/sequence_set.h"
#include "workflow/staged_output.h"

namespace {
// A dense table past this size gets a warning: sparse formats write only the features present.
constexpr uint64_t kLargeDenseTable = uint64_t{4} << 30;

std::optional<LabelSource> label_source(const InputOptions& in) {
  if (in.headerLabels)
    return LabelSource::from_headers(in.sequences == "-" ? "standard input" : in.sequences);
  if (!in.labels.empty()) return LabelSource::from_file(in.labels);
  return std::nullopt;
}

SequenceSet read_input(const InputOptions& in) {
  std::optional<LabelSource> labels = label_source(in);
  SequenceSet set = read_sequence_set(in.sequences, labels ? &*labels : nullptr);
  if (set.size() == 0) no_sequence(in.sequences);
  return set;
}

std::vector<uint32_t> classes_of(const SequenceSet& set, const std::vector<uint32_t>& which) {
  std::vector<uint32_t> c;
  if (!set.labelled) return c;
  c.reserve(which.size());
  for (uint32_t i : which) c.push_back(set.classes[i]);
  return c;
}

// The input files of a run, which no output may replace.
std::vector<std::string> input_files(const InputOptions& in) {
  std::vector<std::string> files{in.sequences};
  if (!in.labels.empty()) files.push_back(in.labels);
  return files;
}

double gigabytes(uint64_t bytes) { return static_cast<double>(bytes) / 1e9; }

// The rows of the sequences `which` of an in-memory set into a table file.
void encode_subset(const SequenceSet& set, const std::vector<uint32_t>& which,
                   const FeatureSet& features, TableFormat format, ValueKind values,
                   unsigned threads, OutFile out) {
  {
    Encoder enc(features, format, threads, out, values);
    for (uint32_t i : which)
      enc.add(set.id(i), set.sequence(i), set.labelled ? static_cast<int64_t>(set.classes[i]) : -1);
    enc.finish();
  }
  out.close();
}
}  // namespace

// The features files of one table, read and checked together.
struct TableFeatures {
  std::vector<FeatureSet> sets;
  std::vector<std::string> columns;   // the name of each feature column, in order
  std::vector<std::string> classes;   // the table's classes: those of the files that list any
  std::optional<size_t> classesFrom;  // the first file that lists classes
};

// The names of the columns of several files side by side: a feature that more than one file
// names is prefixed with the number of each file ("2:AHG", files counted from 1 in the order
// given), so that no name stands twice. A column that would still take the name of another, or
// of the id or class column, ends the run naming the files.
std::vector<std::string> column_names(const std::vector<FeatureSet>& sets,
                                      const std::vector<std::string>& paths, bool withClass) {
  std::vector<std::vector<std::string>> own;  // each file's names: its patterns
  for (const FeatureSet& set : sets) own.push_back(feature_names(set));
  if (sets.size() == 1) return own[0];  // the reader refused those repeated, and the table's
  std::vector<std::string> names;
  std::unordered_map<std::string_view, size_t> files;  // how many files name each feature
  for (const std::vector<std::string>& file : own)
    for (const std::string& f : file) ++files[f];
  std::unordered_map<std::string, size_t> fileOf;
  for (size_t k = 0; k < sets.size(); ++k)
    for (const std::string& f : own[k]) {
      std::string name = files[f] > 1 ? std::to_string(k + 1) + ":" + f : f;
      if (name == "id" || (withClass && name == "class"))
        fail(1,
             "the feature \"%s\" of the features file \"%s\" has the name of the %s column of "
             "the table",
             diagnostic_text(name).c_str(), paths[k].c_str(), name.c_str());
      if (const auto [at, added] = fileOf.emplace(name, k); !added)
        fail(1,
             "the column \"%s\" would stand twice in the table, from the features files \"%s\" "
             "and \"%s\": rename the feature in one of them",
             diagnostic_text(name).c_str(), paths[at->second].c_str(), paths[k].c_str());
      names.push_back(std::move(name));
    }
  return names;
}

// Reads the features files of a table. Files that list classes must list the same ones in the
// same order (one class attribute); files mined without labels add columns only.
TableFeatures read_table_features(const std::vector<std::string>& paths, ValueKind values) {
  TableFeatures t;
  for (size_t k = 0; k < paths.size(); ++k) {
    t.sets.push_back(read_features(paths[k]));
    const FeatureSet& set = t.sets.back();
    if (values == ValueKind::Tfidf && !has_training_frequencies(set))
      fail(1,
           "the features file \"%s\" does not record the training frequencies that tf-idf "
           "values need (it was written by an earlier version): mine it again",
           paths[k].c_str());
    if (set.classes.empty()) continue;
    if (!t.classesFrom) {
      t.classesFrom = k;
      t.classes = set.classes;
    } else if (set.classes != t.classes) {
      fail(1,
           "the features files \"%s\" and \"%s\" list different classes (or in another "
           "order): the columns of one table share one class attribute, so combine files mined "
           "with the same labels",
           paths[*t.classesFrom].c_str(), paths[k].c_str());
    }
  }
  t.columns = column_names(t.sets, paths, !t.classes.empty());
  return t;
}

int run_mine(const MineOptions& o) {
  std::vector<std::string> inputs = input_files(o.input);
  inputs.insert(inputs.end(), o.background.begin(), o.background.end());
  refuse_output_over_inputs(o.output, inputs);
  const SequenceSet set = read_input(o.input);
  // The background files, each read as a sequence file without labels, end to end.
  std::vector<SequenceSet> backgroundSets;
  for (const std::string& path : o.background) {
    backgroundSets.push_back(read_sequence_set(path, nullptr));
    if (backgroundSets.back().size() == 0) no_sequence(path);
  }
  std::vector<std::string_view> background;  // views of the sets, which no longer move
  for (const SequenceSet& b : backgroundSets) {
    const std::vector<std::string_view> views = b.views();
    background.insert(background.end(), views.begin(), views.end());
  }
  const FeatureSet features =
      mine_features(set.views(), set.classes, set.classNames, o.settings, background);
  // An empty result is a result; but encode can make no table of it, and the user should know.
  if (features.features.empty() && features.classes.empty())
    warn(
        "%s found no feature in %zu sequences; without labels the features file declares "
        "nothing, and encode will refuse it",
        std::string(approach_name(o.settings.approach)).c_str(), set.size());
  StagedFile out(o.output);
  write_features(out.out(), features);
  out.commit();
  // Features written on standard output are the whole of it: no summary after them.
  if (out.on_standard_output()) return 0;
  // Approaches that choose features for classes: how many each class got, and which got none.
  const std::vector<size_t> perClass = features_per_class(features);
  std::string counts, none;
  for (size_t c = 0; c < perClass.size(); ++c) {
    const std::string name = diagnostic_text(features.classes[c]);
    counts += (c > 0 ? ", " : "") + name + " " + std::to_string(perClass[c]);
    if (perClass[c] == 0) none += (none.empty() ? "" : ", ") + name;
  }
  if (!none.empty())
    warn("no feature for the classes %s: lower --alpha, or raise --beta", none.c_str());
  std::printf("%s: %zu features from %zu sequences",
              std::string(approach_name(o.settings.approach)).c_str(), features.features.size(),
              set.size());
  if (set.labelled) std::printf(" in %zu classes", set.classNames.size());
  if (!counts.empty()) std::printf(" (%s)", counts.c_str());
  if (features.background > 0)
    std::printf(" against %llu background sequences",
                static_cast<unsigned long long>(features.background));
  std::printf(", written to %s\n", o.output.c_str());
  return 0;
}

int run_encode(const EncodeOptions& o) {
  std::vector<std::string> inputs = input_files(o.input);
  inputs.insert(inputs.end(), o.features.begin(), o.features.end());
  refuse_output_over_inputs(o.output, inputs);
  if (!o.ids.empty()) refuse_output_over_inputs(o.ids, inputs);
  const TableFeatures features = read_table_features(o.features, o.values);
  std::optional<LabelSource> labels = label_source(o.input);
  if (labels && features.classes.empty()) {
    if (o.features.size() == 1)
      fail(1,
           "the features file \"%s\" lists no class (it was mined without labels), so the table "
           "can hold none: encode without labels, or mine with labels",
           o.features[0].c_str());
    fail(1,
         "none of the features files lists a class (they were mined without labels), so the "
         "table can hold none: encode without labels, or mine with labels");
  }
  const std::string& classesFile = o.features[features.classesFrom.value_or(0)];
  std::unordered_map<std::string, int64_t> classNumber;
  for (size_t c = 0; c < features.classes.size(); ++c)
    classNumber.emplace(features.classes[c], static_cast<int64_t>(c));
  std::vector<const FeatureSet*> sets;
  for (const FeatureSet& set : features.sets) sets.push_back(&set);
  const RowValues values(sets, o.values);

  FastaReader reader(o.input.sequences);
  IdChecker ids(reader.name());
  StagedFile out(o.output);
  std::optional<StagedFile> idsOut;
  if (!o.ids.empty()) idsOut.emplace(o.ids);
  uint64_t count = 0;
  {
    Encoder enc(values, features.columns, features.classes, o.format, o.threads, out.out());
    bool warned = !format_is_dense(o.format);
    // Before the table grows large, the warning about its size: estimated from the share of the
    // input read so far (unknown on standard input: then it comes when the table passes the
    // size).
    auto check_size = [&] {
      if (warned) return;
      const uint64_t rows = reader.file_size() > 0 && reader.consumed() > 0
                                ? count * reader.file_size() / reader.consumed()
                                : count;
      const uint64_t bytes = rows * enc.layout().row_size(0);
      if (bytes > kLargeDenseTable || enc.written() > kLargeDenseTable) {
        warn(
            "the dense table \"%s\" will take about %.1f GB (%llu rows of %zu features); the "
            "sparse-arff and libsvm formats write only the features present",
            o.output.c_str(), gigabytes(std::max<uint64_t>(bytes, enc.written())),
            static_cast<unsigned long long>(rows), features.columns.size());
        warned = true;
      }
    };
    FastaRecord r;
    while (reader.next(r)) {
      ids.check(r.id, r.line);
      int64_t cls = -1;
      if (labels) {
        const uint32_t c = labels->class_of(count, r);
        const std::string& name = labels->classes()[c];
        const auto it = classNumber.find(name);
        if (it == classNumber.end())
          fail(1,
               "%s: the class \"%s\" of the sequence \"%s\" is not one of the classes of the "
               "features file \"%s\"",
               labels->name().c_str(), diagnostic_text(name).c_str(), diagnostic_text(r.id).c_str(),
               classesFile.c_str());
        cls = it->second;
      }
      if (idsOut) {
        idsOut->out().write(r.id);
        idsOut->out().put('\n');
      }
      const bool submitted = enc.add(r.id, r.residues, cls);
      ++count;
      if (submitted) {
        check_size();
        progress::show("encoding: %llu sequences", static_cast<unsigned long long>(count));
      }
    }
    check_size();
    if (count == 0) no_sequence(o.input.sequences);
    enc.finish();
  }
  progress::clear();
  if (labels) labels->finish(count);
  out.commit();
  if (idsOut) idsOut->commit();
  return 0;
}

int run_folds(const FoldsOptions& o) {
  refuse_output_over_inputs(o.folder, input_files(o.input));
  StagedFolder::check(o.folder);
  const SequenceSet set = read_input(o.input);
  if (o.k > set.size())
    fail(1, "%u folds need %u sequences at least; %s holds %zu", o.k, o.k,
         sequence_file(o.input.sequences).c_str(), set.size());
  std::vector<size_t> perClass(set.classNames.size(), 0);
  for (uint32_t c : set.classes) ++perClass[c];
  for (size_t c = 0; c < perClass.size(); ++c)
    if (perClass[c] > 0 && perClass[c] < o.k)
      warn(
          "the class \"%s\" has %zu sequences, fewer than the %u folds: some test parts have none "
          "of it",
          diagnostic_text(set.classNames[c]).c_str(), perClass[c], o.k);

  StagedFolder folder(o.folder);
  const std::vector<uint32_t> fold = assign_folds(set.classes, set.classNames.size(), o.k, o.seed);
  {
    OutFile list = folder.add_file("folds.tsv");
    std::string text = "id\tfold\n";
    for (size_t i = 0; i < set.size(); ++i) {
      text.append(set.id(i));
      text += '\t';
      text += std::to_string(fold[i] + 1);
      text += '\n';
    }
    list.write(text);
    list.close();
  }
  const size_t width = std::max<size_t>(2, std::to_string(o.k).size());
  for (uint32_t k = 0; k < o.k; ++k) {
    std::vector<uint32_t> train, test;
    for (size_t i = 0; i < set.size(); ++i)
      (fold[i] == k ? test : train).push_back(static_cast<uint32_t>(i));
    // k + 1 has no more digits than K, and width has as many at least.
    const std::string number = std::to_string(k + 1);
    const std::string name = "fold-" + std::string(width - number.size(), '0') + number;
    folder.add_folder(name);
    const FeatureSet features =
        mine_features(set.views(train), classes_of(set, train), set.classNames, o.settings);
    {
      OutFile out = folder.add_file(name + "/features.tsv");
      write_features(out, features);
      out.close();
    }
    const std::string ext = format_extension(o.format);
    encode_subset(set, train, features, o.format, o.values, o.threads,
                  folder.add_file(name + "/train" + ext));
    encode_subset(set, test, features, o.format, o.values, o.threads,
                  folder.add_file(name + "/test" + ext));
    std::printf("%s: %zu training and %zu test sequences, %zu features\n", name.c_str(),
                train.size(), test.size(), features.features.size());
  }
  folder.commit();
  std::printf("%u folds written to %s\n", o.k, o.folder.c_str());
  return 0;
}
