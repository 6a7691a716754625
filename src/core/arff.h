// The ARFF layout shared by every context writer, and the one quoting rule for ARFF names.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/out_file.h"

// Quotes a name as the ARFF reader expects: backslash, both quotes, '%', tab, line feed and
// carriage return are escaped with a backslash; a name that needed an escape, or holds a space,
// a comma, a brace or any other control byte (below 0x20, or 0x7F), or is empty or exactly "?",
// is put in single quotes. Every other name is returned as it stands.
// The reader splits a bare name at a control byte, but reads one back as it stands between
// quotes; it knows no escape for one (it reads "\u0001" as "u0001"), so those bytes stay raw.
std::string arff_quote(std::string_view name);

// Writes one context in the reference layout:
//   "@relation Context\n\n", one "@attribute <name> {1,0}\n" per attribute,
//   with classes "@attribute class {" names joined by "," then "}\n", then "\n@data\n", then the rows: values "1"/"0" joined by ",", then, with
//   classes, "," (only after at least one value) and the label, and "\n".
class ArffWriter {
 public:
  explicit ArffWriter(OutFile& file) : f_(file) {}
  void relation();
  void attribute(std::string_view name);
  void class_attribute(const std::vector<std::string>& names);
  void data();
  void value(bool present) {
    if (!row_.empty()) row_.push_back(',');
    row_.push_back(present ? '1' : '0');
  }
  // Ends the row and writes it; label null means a context without classes.
  void end_row(const std::string* label);

 private:
  OutFile& f_;
  std::string row_;  // the row being built, written in one piece
};
