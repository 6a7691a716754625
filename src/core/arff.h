// The ARFF layout shared by every context writer, and the one quoting rule for ARFF names.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/out_file.h"
#include "core/row_batch.h"

// Quotes a name as the ARFF reader expects: backslash, both quotes, '%', tab, line feed and
// carriage return are escaped with a backslash; a name that needed an escape, or holds a space,
// a comma, a brace or any other control byte (below 0x20, or 0x7F), or is empty or exactly "?",
// is put in single quotes. Every other name is returned as it stands.
// The reader splits a bare name at a control byte, but reads one back as it stands between
// quotes; it knows no escape for one (it reads "\u0001" as "u0001"), so those bytes stay raw.
std::string arff_quote(std::string_view name);

// Appends what follows the values of a row: with a class column, "," (only after at least one
// value) and the class cell, already quoted ("?" for a missing class); then "\n". `classCell`
// null means a context without classes. Every ARFF row ends here.
void append_arff_row_end(std::string& out, bool afterValues, const std::string* classCell);

// Writes one context in the layout of every approach:
//   "@relation Context\n\n", one "@attribute <name> {1,0}\n" per attribute, with classes
//   "@attribute class {" and the names joined by "," and "}\n", then "\n@data\n", then the rows:
//   values "1"/"0" joined by ",", then, with classes, "," (only after at least one value) and
//   the label, and "\n". Names and labels go through arff_quote.
class ArffWriter {
 public:
  explicit ArffWriter(OutFile& file) : f_(file), batch_(file) {}
  void relation();
  // `values` is the nominal set: {1,0} in dense contexts; a sparse context declares {0,1}, since
  // a value left out of a sparse row reads as the first one.
  void attribute(std::string_view name, std::string_view values = "{1,0}");
  void class_attribute(const std::vector<std::string>& names);
  void data();

  // A row value by value: value() for each attribute, then end_row, which writes it; label
  // null means a context without classes.
  void value(bool present) {
    if (!row_.empty()) row_.push_back(',');
    row_.push_back(present ? '1' : '0');
  }
  void end_row(const std::string* label);

  // A row whose values are joined already: written at the next flush_rows(), straight from
  // `values`, which must stay unchanged until then (rows of many kilobytes are never copied).
  // The rows of one context are written either this way or value by value, not both.
  void row(std::string_view values, const std::string* label);
  void flush_rows() { batch_.flush(); }

 private:
  // What follows a row's values: the class part (the label quoted) and the line end.
  static void append_row_end(std::string& out, bool afterValues, const std::string* label);

  OutFile& f_;
  std::string row_;  // the row being built value by value, written in one piece
  RowBatch batch_;
  std::string end_;  // scratch for the end of a batched row
};
