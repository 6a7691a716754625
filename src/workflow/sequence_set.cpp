// Reading a whole sequence file with its labels.
#include "workflow/sequence_set.h"

#include "core/progress.h"
#include "core/run_exit.h"

std::vector<std::string_view> SequenceSet::views(const std::vector<uint32_t>& which) const {
  std::vector<std::string_view> v;
  if (which.empty()) {
    v.reserve(size());
    for (size_t i = 0; i < size(); ++i) v.push_back(sequence(i));
  } else {
    v.reserve(which.size());
    for (uint32_t i : which) v.push_back(sequence(i));
  }
  return v;
}

std::string sequence_file(const std::string& path) {
  return path == "-" ? "standard input" : "the sequence file \"" + path + "\"";
}

void no_sequence(const std::string& path) {
  fail(1, "%s holds no sequence", sequence_file(path).c_str());
}

void IdChecker::check(std::string_view id, uint64_t line) {
  bool added = false;
  const uint64_t entry = seen_.insert(id, added);
  if (!added)
    fail(1, "%s, line %llu: the id \"%s\" is already the id of the sequence at line %llu",
         file_.c_str(), static_cast<unsigned long long>(line), diagnostic_text(id).c_str(),
         static_cast<unsigned long long>(lines_[entry]));
  lines_.push_back(line);
}

SequenceSet read_sequence_set(const std::string& path, LabelSource* labels) {
  FastaReader reader(path);
  IdChecker ids(reader.name());
  SequenceSet set;
  set.labelled = labels != nullptr;
  // The file's size bounds its residues: one buffer sized once, instead of copies as it grows
  // (a gzip file's size is a first guess only).
  set.residues.reserve_bytes(reader.file_size());
  FastaRecord r;
  while (reader.next(r)) {
    ids.check(r.id, r.line);
    if (labels) set.classes.push_back(labels->class_of(set.size(), r));
    set.residues.add(r.residues);
    set.ids.add(r.id);
    set.lines.push_back(r.line);
    if (set.size() % 4096 == 0) progress::show("reading sequences: %zu", set.size());
  }
  progress::clear();
  if (labels) {
    labels->finish(set.size());
    set.classNames = labels->taken_classes(set.classes);
  }
  return set;
}
