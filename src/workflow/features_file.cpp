// Writing and reading the features file.
#include "workflow/features_file.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "core/files.h"
#include "core/run_exit.h"
#include "workflow/option_values.h"

namespace {
std::vector<std::string_view> split_tabs(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t p = 0;
  for (;;) {
    const size_t t = line.find('\t', p);
    if (t == std::string_view::npos) {
      fields.push_back(line.substr(p));
      return fields;
    }
    fields.push_back(line.substr(p, t - p));
    p = t + 1;
  }
}

// Splits at every '|' that no backslash escapes (the parts stay escaped).
std::vector<std::string_view> split_pipes(std::string_view field) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\') {
      ++i;
    } else if (field[i] == '|') {
      parts.push_back(field.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(field.substr(start));
  return parts;
}

class Reader {
 public:
  explicit Reader(const std::string& path) : path_(path) {}
  // A name read from the file, quoted as a diagnostic shows it.
  static std::string quoted(std::string_view name) { return "\"" + diagnostic_text(name) + "\""; }
  [[noreturn]] void bad(size_t line, const std::string& what) const {
    fail(1, "%s, line %zu: %s", path_.c_str(), line, what.c_str());
  }
  std::string field(std::string_view raw, size_t line) const {
    std::string out;
    if (!unescape_field(raw, out))
      bad(line, "a backslash that starts no escape (\\\\ \\t \\r \\n \\|)");
    return out;
  }

 private:
  const std::string& path_;
};
}  // namespace

namespace {
// The columns of an approach's feature lines; without `sequences`, those of a file written
// before every approach recorded it.
std::vector<FeatureColumn> columns_of(Approach a, bool sequences) {
  std::vector<FeatureColumn> columns;
  for (FeatureColumn c : approach_info(a).columns)
    if (sequences || c != FeatureColumn::Sequences) columns.push_back(c);
  return columns;
}

std::string columns_line(const std::vector<FeatureColumn>& columns) {
  std::string line = "#columns\tfeature";
  for (FeatureColumn c : columns) line += "\t" + std::string(column_name(c));
  return line;
}
}  // namespace

std::string escape_field(std::string_view field, bool pipes) {
  std::string out;
  out.reserve(field.size());
  for (char c : field) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '|':
        if (pipes) out += '\\';
        out += c;
        break;
      default: out += c;
    }
  }
  return out;
}

bool unescape_field(std::string_view field, std::string& out) {
  out.clear();
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      out += field[i];
      continue;
    }
    if (++i == field.size()) return false;
    switch (field[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case '|': out += '|'; break;
      default: return false;
    }
  }
  return true;
}

std::vector<size_t> features_per_class(const FeatureSet& set) {
  const auto& columns = approach_info(set.approach()).columns;
  const bool families =
      std::find(columns.begin(), columns.end(), FeatureColumn::Families) != columns.end();
  const bool family =
      std::find(columns.begin(), columns.end(), FeatureColumn::Family) != columns.end();
  if (!families && !family) return {};
  std::unordered_map<std::string_view, size_t> index;
  for (size_t c = 0; c < set.classes.size(); ++c) index.emplace(set.classes[c], c);
  std::vector<size_t> counts(set.classes.size(), 0);
  auto count = [&](const std::string& name) {
    if (const auto it = index.find(name); it != index.end()) ++counts[it->second];
  };
  for (const Feature& f : set.features) {
    if (families)
      for (const std::string& name : f.families) count(name);
    if (family) count(f.family);
  }
  return counts;
}

std::vector<std::string> feature_names(const FeatureSet& set) {
  std::vector<std::string> names;
  names.reserve(set.features.size());
  for (const Feature& f : set.features) names.push_back(set.settings.alphabet.pattern(f.text));
  return names;
}

namespace {
// The file's text, piece by piece, to `put` (a features file of millions of motifs is written as
// it is formatted).
template <class Put>
void format_features(const FeatureSet& set, Put&& put) {
  const ApproachInfo& approach = approach_info(set.approach());
  const std::vector<FeatureColumn> columns = columns_of(set.approach(), set.sequencesKnown);
  std::string s;
  s += "#protfeat\t" + escape_field(set.version) + "\n";
  s += "#approach\t" + std::string(approach.name) + "\n";
  for (const auto& [name, value] : settings_lines(set.settings))
    s += "#setting\t" + escape_field(name) + "\t" + escape_field(value) + "\n";
  if (set.training) s += "#training\t" + std::to_string(*set.training) + "\n";
  for (const std::string& c : set.classes) s += "#class\t" + escape_field(c) + "\n";
  if (set.background > 0) s += "#background\t" + std::to_string(set.background) + "\n";
  s += columns_line(columns) + "\n";
  put(s);
  for (const Feature& f : set.features) {
    s = escape_field(set.settings.alphabet.pattern(f.text));
    for (FeatureColumn c : columns) {
      s += '\t';
      switch (c) {
        case FeatureColumn::Families:
          for (size_t i = 0; i < f.families.size(); ++i) {
            if (i > 0) s += '|';
            s += escape_field(f.families[i], true);
          }
          break;
        case FeatureColumn::Family: s += escape_field(f.family); break;
        case FeatureColumn::Support: s += escape_field(f.support); break;
        case FeatureColumn::Probability: s += escape_field(f.probability); break;
        case FeatureColumn::Sequences: s += std::to_string(f.sequences); break;
      }
    }
    s += '\n';
    put(s);
  }
}
}  // namespace

void write_features(OutFile& out, const FeatureSet& set) {
  format_features(set, [&](const std::string& piece) { out.write(piece); });
}

std::string features_text(const FeatureSet& set) {
  std::string text;
  format_features(set, [&](const std::string& piece) { text += piece; });
  return text;
}

FeatureSet read_features(const std::string& path) {
  return features_from_text(read_whole_file(path, "features file"), path);
}

FeatureSet features_from_text(std::string_view text, const std::string& name) {
  const Reader r(name);

  FeatureSet set;
  std::optional<Approach> approach;
  bool columns = false;
  size_t lineNo = 0, settingsEnd = 0;  // settingsEnd: the last #setting line
  std::vector<FeatureColumn> kinds;    // of the feature lines
  std::unordered_set<std::string> classes;
  std::unordered_map<std::string, size_t> featureLine;
  for (std::string_view line : split_lines(text)) {
    ++lineNo;
    const std::vector<std::string_view> f = split_tabs(line);
    if (lineNo == 1) {
      if (f.size() != 2 || f[0] != "#protfeat")
        r.bad(1, "not a features file (it begins with #protfeat and the version)");
      set.version = r.field(f[1], 1);
      continue;
    }
    if (!columns) {
      if (f[0] == "#approach" && f.size() == 2 && !approach) {
        approach = approach_named(f[1]);
        if (!approach) r.bad(lineNo, "unknown approach " + Reader::quoted(f[1]));
        set.settings.approach = *approach;
      } else if (f[0] == "#setting" && f.size() == 3) {
        if (!approach) r.bad(lineNo, "no #approach line before the settings");
        const std::string name = r.field(f[1], lineNo);
        const ApproachOption* option = approach_setting(*approach, name);
        if (!option)
          r.bad(lineNo, Reader::quoted(name) + " is not a setting of " +
                            std::string(approach_name(*approach)));
        const std::string problem = option->parse(set.settings, r.field(f[2], lineNo));
        if (!problem.empty()) r.bad(lineNo, "the setting " + name + diagnostic_text(problem));
        settingsEnd = lineNo;
      } else if (f[0] == "#training" && f.size() == 2 && !set.training) {
        uint64_t n = 0;
        const std::string problem = read_unsigned(r.field(f[1], lineNo), 1, UINT64_MAX, n);
        if (!problem.empty()) r.bad(lineNo, "the training sequences" + diagnostic_text(problem));
        set.training = n;
      } else if (f[0] == "#class" && f.size() == 2) {
        set.classes.push_back(r.field(f[1], lineNo));
        if (!classes.insert(set.classes.back()).second)
          r.bad(lineNo, "the class " + Reader::quoted(set.classes.back()) + " is named twice");
      } else if (f[0] == "#background" && f.size() == 2) {
        if (!approach || !approach_info(*approach).takesBackground)
          r.bad(lineNo, "a background belongs to the approaches that take one, after #approach");
        if (const std::string problem = read_unsigned(f[1], 1, UINT64_MAX, set.background);
            !problem.empty())
          r.bad(lineNo, "the background count" + diagnostic_text(problem));
      } else if (f[0] == "#columns") {
        if (!approach) r.bad(lineNo, "no #approach line before the columns");
        // The columns of today's files, or of files written before the sequences column.
        kinds = columns_of(*approach, true);
        if (line != columns_line(kinds)) {
          kinds = columns_of(*approach, false);
          set.sequencesKnown = false;
        }
        if (line != columns_line(kinds))
          r.bad(lineNo, "the columns of an " + std::string(approach_name(*approach)) +
                            " features file are not these");
        if (const std::string problem = approach_info(*approach).check(set.settings, false);
            !problem.empty())
          r.bad(settingsEnd, problem);
        columns = true;
      } else {
        r.bad(lineNo,
              "a header line (#approach, #setting, #training, #class, #background or #columns) was "
              "expected");
      }
      continue;
    }
    if (f.size() != kinds.size() + 1)
      r.bad(lineNo, std::to_string(kinds.size() + 1) + " tab-separated fields were expected, not " +
                        std::to_string(f.size()));
    Feature feat;
    const std::string name = r.field(f[0], lineNo);
    const ReducedAlphabet& alphabet = set.settings.alphabet;
    if (const std::string problem = alphabet.read_pattern(name, feat.text); !problem.empty())
      r.bad(lineNo, "the feature " + Reader::quoted(name) + " is no pattern of the alphabet " +
                        alphabet.text() + ": " + diagnostic_text(problem));
    // The tables name a column after each feature, beside the id column of CSV and TSV and the
    // class column of a file with classes: a name twice would make a table its readers refuse.
    if (name == "id" || (name == "class" && !set.classes.empty()))
      r.bad(lineNo, "the feature " + Reader::quoted(name) + " has the name of the " + name +
                        " column of the tables");
    if (const auto [at, added] = featureLine.emplace(feat.text, lineNo); !added)
      r.bad(lineNo, "the feature " + Reader::quoted(name) + " is listed already at line " +
                        std::to_string(at->second));
    for (size_t c = 0; c < kinds.size(); ++c) {
      const std::string_view raw = f[c + 1];
      switch (kinds[c]) {
        case FeatureColumn::Families:
          // A descriptor discriminates one family at least: an empty field is one empty name.
          for (std::string_view part : split_pipes(raw))
            feat.families.push_back(r.field(part, lineNo));
          break;
        case FeatureColumn::Family: feat.family = r.field(raw, lineNo); break;
        case FeatureColumn::Support: feat.support = r.field(raw, lineNo); break;
        case FeatureColumn::Probability: feat.probability = r.field(raw, lineNo); break;
        case FeatureColumn::Sequences: {
          const std::string problem =
              read_unsigned(r.field(raw, lineNo), 0, UINT64_MAX, feat.sequences);
          if (!problem.empty())
            r.bad(lineNo,
                  "the column " + std::string(column_name(kinds[c])) + diagnostic_text(problem));
          // More than the training sequences would weigh the feature by a negative idf.
          if (set.training && feat.sequences > *set.training)
            r.bad(lineNo, "the column sequences: " + std::to_string(feat.sequences) +
                              " is more than the " + std::to_string(*set.training) +
                              " training sequences");
          break;
        }
      }
    }
    set.features.push_back(std::move(feat));
  }
  if (!columns) r.bad(lineNo + (lineNo == 0), "the file ends before its #columns line");
  if (set.features.empty() && set.classes.empty())
    r.bad(lineNo, "no feature and no class: a table would have nothing to declare");
  return set;
}
