// The five table formats of `encode` and `folds`: one header, then one row per sequence built
// from the ascending numbers of its non-zero cells and their values (RowValues). Binary cells
// are 1 and 0 as below; counts are written as whole numbers and tf-idf values as the shortest
// text that reads back as the same double (std::to_chars), and ARFF declares such attributes
// numeric.
//   arff         the console's dense layout (ArffWriter, arff_quote); a missing class is '?'
//   sparse-arff  attributes declared {0,1} (an omitted value reads as the first one, 0), rows
//                {i 1,...,C class} with indices from 0, ascending, the class always written;
//                only the non-zero cells, whatever the values
//   csv          header row id, one column per feature, class; RFC 4180 quoting (a field
//                holding a comma, a double quote, CR or LF is quoted, inner quotes doubled);
//                LF line ends; a missing class is an empty cell
//   tsv          the same with tabs (a field holding a tab, a double quote, CR or LF is quoted)
//   libsvm       "label idx:1 ...": the label is the class number from 1 in the features file's
//                order (0 when missing), feature indices from 1, ascending, non-zero cells only
// Without classes (features mined without labels) the tables have no class column and LibSVM
// labels are 0.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/out_file.h"
#include "workflow/value_kind.h"

enum class TableFormat { Arff, SparseArff, Csv, Tsv, Libsvm };
// The formats' names, in the order of TableFormat.
const std::vector<std::string>& format_names();

// The format of a --format value, or of a file name's extension (.arff, .csv, .tsv, .libsvm;
// .sparse.arff is sparse ARFF).
std::optional<TableFormat> format_named(std::string_view name);
std::optional<TableFormat> format_of_path(std::string_view path);
// The file extension of a format's tables, dot included (sparse ARFF is ".arff").
const char* format_extension(TableFormat format);
// Dense formats write a value for every feature in every row.
bool format_is_dense(TableFormat format);

// The names are kept by reference: they must outlive the layout.
class TableLayout {
 public:
  TableLayout(TableFormat format, const std::vector<std::string>& features,
              const std::vector<std::string>& classes, ValueKind values = ValueKind::Binary);

  void header(OutFile& out) const;
  // Appends the row of one sequence: `columns` holds the numbers of its non-zero cells,
  // ascending, and `values` their values (read only for counts and tf-idf: binary cells are 1);
  // `cls` is its class number, or -1 for a missing class.
  void row(std::string& out, std::string_view id, std::span<const uint32_t> columns,
           std::span<const double> values, int64_t cls) const;
  // About how many bytes a row takes when it has `present` non-zero cells.
  size_t row_size(size_t present) const;

 private:
  // Appends one non-zero cell's value.
  void value(std::string& out, double v) const;
  char* value(char* p, char* end, double v) const;

  TableFormat format_;
  ValueKind values_;
  const std::vector<std::string>& features_;
  const std::vector<std::string>& classes_;
  bool withClass_;
  std::vector<std::string> classCells_;  // each class as its rows write it, quoted
  std::string denseZeros_;               // "0,0,...,0" (or tab-separated) for dense rows
  std::string classIndex_;               // sparse ARFF: the class attribute's index
};

// A CSV (separator ',') or TSV (separator '\t') field, quoted when it must be.
std::string delimited_field(std::string_view field, char separator);
