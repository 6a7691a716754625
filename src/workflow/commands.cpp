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
                   const FeatureSet& features, TableFormat format, unsigned threads, OutFile out) {
  {
    Encoder enc(features, format, threads, out);
    for (uint32_t i : which)
      enc.add(set.id(i), set.sequence(i), set.labelled ? static_cast<int64_t>(set.classes[i]) : -1);
    enc.finish();
  }
  out.close();
}
}  // namespace

int run_mine(const MineOptions& o) {
  refuse_output_over_inputs(o.output, input_files(o.input));
  const SequenceSet set = read_input(o.input);
  const FeatureSet features = mine_features(set.views(), set.classes, set.classNames, o.settings);
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
  std::printf(", written to %s\n", o.output.c_str());
  return 0;
}

int run_encode(const EncodeOptions& o) {
  std::vector<std::string> inputs = input_files(o.input);
  inputs.push_back(o.features);
  refuse_output_over_inputs(o.output, inputs);
  if (!o.ids.empty()) refuse_output_over_inputs(o.ids, inputs);
  const FeatureSet features = read_features(o.features);
  std::optional<LabelSource> labels = label_source(o.input);
  if (labels && features.classes.empty())
    fail(1,
         "the features file \"%s\" lists no class (it was mined without labels), so the table "
         "can hold none: encode without labels, or mine with labels",
         o.features.c_str());
  std::unordered_map<std::string, int64_t> classNumber;
  for (size_t c = 0; c < features.classes.size(); ++c)
    classNumber.emplace(features.classes[c], static_cast<int64_t>(c));

  FastaReader reader(o.input.sequences);
  IdChecker ids(reader.name());
  StagedFile out(o.output);
  std::optional<StagedFile> idsOut;
  if (!o.ids.empty()) idsOut.emplace(o.ids);
  uint64_t count = 0;
  {
    Encoder enc(features, o.format, o.threads, out.out());
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
            static_cast<unsigned long long>(rows), features.features.size());
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
               o.features.c_str());
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
    encode_subset(set, train, features, o.format, o.threads,
                  folder.add_file(name + "/train" + ext));
    encode_subset(set, test, features, o.format, o.threads, folder.add_file(name + "/test" + ext));
    std::printf("%s: %zu training and %zu test sequences, %zu features\n", name.c_str(),
                train.size(), test.size(), features.features.size());
  }
  folder.commit();
  std::printf("%u folds written to %s\n", o.k, o.folder.c_str());
  return 0;
}
