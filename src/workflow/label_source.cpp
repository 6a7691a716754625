// The label sources of the workflow commands: classification file, id<TAB>class table, headers.
#include "workflow/label_source.h"

#include <cerrno>
#include <cstring>

#include "core/files.h"
#include "core/run_exit.h"

namespace {
unsigned long long ull(uint64_t v) { return static_cast<unsigned long long>(v); }
}  // namespace

uint32_t LabelSource::add_class(std::string_view name) {
  const auto [it, added] =
      classIndex_.emplace(std::string(name), static_cast<uint32_t>(classes_.size()));
  if (added) classes_.emplace_back(name);
  return it->second;
}

LabelSource LabelSource::from_file(const std::string& path) {
  const std::string text = read_whole_file(path, "label file");
  const std::vector<std::string_view> lines = split_lines(text);
  const bool classification = !lines.empty() && !lines[0].empty() && lines[0][0] == '#';
  LabelSource s(classification ? Kind::ClassificationFile : Kind::Table, path);
  if (classification)
    s.read_classification(lines);
  else
    s.read_table(lines);
  return s;
}

LabelSource LabelSource::from_headers(const std::string& sequenceFile) {
  return LabelSource(Kind::Header, sequenceFile);
}

void LabelSource::read_classification(const std::vector<std::string_view>& lines) {
  const char* f = name_.c_str();
  // Line 1 is the count header (checked by the caller's choice), line 2 the count.
  if (lines.size() < 2)
    fail(1, "%s: the classification file ends before its class count (line 2)", f);
  const std::string countText(lines[1]);
  char* end = nullptr;
  errno = 0;
  const unsigned long long count = std::strtoull(countText.c_str(), &end, 10);
  if (countText.empty() || countText[0] == '-' || errno != 0 ||
      std::string_view(end).find_first_not_of(" \t") != std::string_view::npos)
    fail(1, "%s, line 2: the class count \"%s\" is not a number", f,
         diagnostic_text(countText).c_str());
  if (lines.size() < 3 || lines[2].empty() || lines[2][0] != '#')
    fail(1, "%s, line 3: a '#' line before the class names was expected", f);
  if (count > lines.size() - 3)
    fail(1, "%s: the classification file ends inside its %llu class names", f, count);
  size_t i = 3;
  for (; i < 3 + count; ++i) {
    const size_t before = classes_.size();
    if (add_class(lines[i]) == before) continue;
    fail(1, "%s, line %zu: the class \"%s\" is named twice", f, i + 1,
         diagnostic_text(lines[i]).c_str());
  }
  if (i >= lines.size() || lines[i].empty() || lines[i][0] != '#')
    fail(1, "%s, line %zu: a '#' line after the %llu class names was expected", f, i + 1, count);
  ++i;
  firstLabelLine_ = i + 1;
  size_t last = lines.size();
  // Empty lines at the end are no labels, unless the empty name is a class.
  if (!classIndex_.count(""))
    while (last > i && lines[last - 1].empty()) --last;
  for (; i < last; ++i) {
    const auto it = classIndex_.find(std::string(lines[i]));
    if (it == classIndex_.end())
      fail(1, "%s, line %zu: the label \"%s\" (sequence %zu) is not one of the classes named above",
           f, i + 1, diagnostic_text(lines[i]).c_str(), labels_.size() + 1);
    labels_.push_back(it->second);
  }
}

void LabelSource::read_table(const std::vector<std::string_view>& lines) {
  const char* f = name_.c_str();
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.empty()) continue;
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos)
      fail(1,
           "%s, line %zu: an id, a tab and a class were expected (or a classification file, "
           "whose first line begins with '#')",
           f, i + 1);
    const std::string_view id = line.substr(0, tab);
    const uint32_t cls = add_class(line.substr(tab + 1));
    bool added = false;
    ids_.insert(id, added);
    if (!added)
      fail(1, "%s, line %zu: the id \"%s\" has a label already", f, i + 1,
           diagnostic_text(id).c_str());
    idClass_.push_back(cls);
  }
}

uint32_t LabelSource::class_of(uint64_t ordinal, const FastaRecord& r) {
  const std::string_view id = r.id;
  switch (kind_) {
    case Kind::ClassificationFile:
      if (ordinal >= labels_.size())
        fail(1, "%s: no label for the sequence \"%s\" (sequence %llu): the file has %zu labels",
             name_.c_str(), diagnostic_text(id).c_str(), ull(ordinal + 1), labels_.size());
      return labels_[ordinal];
    case Kind::Table: {
      // A table in the order of the sequences needs no look-up.
      uint64_t e = ordinal < ids_.size() && ids_.key(ordinal) == id ? ordinal : ids_.find(id);
      if (e == StringTable::kNone)
        fail(1, "%s: no label for the sequence \"%s\"", name_.c_str(), diagnostic_text(id).c_str());
      return idClass_[e];
    }
    case Kind::Header: {
      const std::string_view cls = header_word(r.header, 1);
      if (cls.empty())
        fail(1, "%s, line %llu: the header of \"%s\" has no second word to take its class from",
             name_.c_str(), ull(r.line), diagnostic_text(id).c_str());
      return add_class(cls);
    }
  }
  return 0;
}

void LabelSource::finish(uint64_t sequences) const {
  if (kind_ == Kind::ClassificationFile && labels_.size() > sequences)
    fail(1, "%s, line %llu: a label past the last of the %llu sequences", name_.c_str(),
         ull(firstLabelLine_ + sequences), ull(sequences));
}

std::vector<std::string> LabelSource::taken_classes(std::vector<uint32_t>& classes) const {
  if (kind_ != Kind::Table) return classes_;
  std::vector<int64_t> number(classes_.size(), -1);
  for (uint32_t c : classes) number[c] = 0;
  std::vector<std::string> names;
  for (size_t c = 0; c < classes_.size(); ++c)
    if (number[c] == 0) {
      number[c] = static_cast<int64_t>(names.size());
      names.push_back(classes_[c]);
    }
  for (uint32_t& c : classes) c = static_cast<uint32_t>(number[c]);
  return names;
}
