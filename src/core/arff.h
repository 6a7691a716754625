// The ARFF layout shared by every context writer, and the one quoting rule for ARFF names.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/out_file.h"

// Quotes a name as the ARFF reader expects: backslash, both quotes, '%', tab, line feed,
// carriage return and the byte 0x1E are escaped with a backslash; a name that needed an escape,
// or holds a space, a comma or a brace, or is empty or exactly "?", is put in single quotes.
// Every other name is returned as it stands.
std::string arff_quote(std::string_view name);

// Writes one context in the reference layout:
//   "@relation Context\n\n", one "@attribute <name> {1,0}\n" per attribute,
//   with classes "@attribute class {" names joined by "," then "}" (no "}" when there is no
//   name) and "\n", then "\n@data\n", then the rows: values "1"/"0" joined by ",", then, with
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
