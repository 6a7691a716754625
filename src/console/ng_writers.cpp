// The three n-gram contexts. A row's values are one buffer per separator ("0,0,...", "0 0 ...")
// in which only the n-grams of the sequence's windows are switched to '1' and back, so a row
// costs its number of windows plus the kernel's copy of its bytes, whatever the number of
// attributes: the values are never copied in user space.
#include "console/ng_writers.h"

#include <algorithm>
#include <charconv>

#include "core/arff.h"
#include "core/row_batch.h"

namespace {
constexpr const char* kMotifsHead = "#motifs number\n%d\n#motifs\n";
constexpr const char* kClassesHead = "#classes number\n%d\n#classes\n";
constexpr const char* kInstancesHead = "#instances number\n%d\n#context\n";
constexpr const char* kDatHead = "%d %d %d\n";
constexpr const char* kDatAttribute = " 2 1 1\n";
// A batch of rows holds about this many bytes of values per file, and at most this many rows.
constexpr size_t kBatchBytes = 256 * 1024;
constexpr size_t kMaxBatchRows = 256;

// The value buffers of one batch of rows, all zeros between batches: per row, the comma row of
// the ARFF and context files and, with classes, the blank row of the data file. Value k sits at
// byte 2k of both.
class ValueRows {
 public:
  ValueRows(int32_t values, bool blank, size_t rows) {
    const std::string comma = zeros(values, ',');
    const size_t batch = std::clamp<size_t>(kBatchBytes / (comma.size() + 1), 1, kMaxBatchRows);
    const size_t slots = std::min(batch, rows);
    comma_.assign(slots, comma);
    blank_.assign(slots, blank ? zeros(values, ' ') : std::string());
    numbers_.resize(slots);
  }
  size_t slots() const { return comma_.size(); }
  std::string_view comma(size_t r) const { return comma_[r]; }
  std::string_view blank(size_t r) const { return blank_[r]; }

  // Switches row r to the n-grams of the windows of `sequence`.
  void fill(size_t r, const NgramList& list, std::string_view sequence) {
    list.window_numbers(sequence, numbers_[r]);
    set(r, '1');
  }
  // Switches rows 0 to count - 1 back to zeros, once their batch is written.
  void clear(size_t count) {
    for (size_t r = 0; r < count; ++r) set(r, '0');
  }

 private:
  static std::string zeros(int32_t values, char sep) {
    std::string row;
    if (values <= 0) return row;
    row.assign(static_cast<size_t>(values) * 2 - 1, '0');
    for (size_t i = 1; i < row.size(); i += 2) row[i] = sep;
    return row;
  }
  void set(size_t r, char v) {
    for (uint32_t k : numbers_[r]) {
      comma_[r][static_cast<size_t>(k) * 2] = v;
      if (!blank_[r].empty()) blank_[r][static_cast<size_t>(k) * 2] = v;
    }
  }

  std::vector<std::string> comma_, blank_;
  std::vector<std::vector<uint32_t>> numbers_;  // the n-gram numbers of each row
};

void write_heads(const NgramList& list, const ClassLabels* classes, int tot, OutFile& context,
                 OutFile& dat, ArffWriter& arff) {
  const int32_t nbvar = list.Nbvar();
  arff.relation();
  context.print(kMotifsHead, nbvar);
  for (int32_t k = 0; k < nbvar; ++k) {
    const std::string_view text = list.text(static_cast<uint32_t>(k));
    arff.attribute(text);
    context.write(text);
    context.put('\n');
  }
  if (classes) {
    arff.class_attribute(classes->names);
    context.print(kClassesHead, classes->count);
    for (const std::string& name : classes->names) {
      context.write(name);
      context.put('\n');
    }
    dat.print(kDatHead, tot, nbvar, classes->count);
    for (int32_t k = 0; k < nbvar; ++k) {
      dat.write(list.text(static_cast<uint32_t>(k)));
      dat.write(kDatAttribute);
    }
    dat.put('\n');
  }
  arff.data();
  context.print(kInstancesHead, tot);
}

// A row of the context file: the values, then with classes one 0/1 per class name (1 for the
// row's label), comma-separated.
void context_row(RowBatch& out, std::string_view values, const ClassLabels* classes,
                 const std::string* label) {
  out.borrow(values);
  if (classes) {
    bool separate = !values.empty();
    for (const std::string& name : classes->names) {
      if (separate) out.copy(',');
      out.copy(name == *label ? '1' : '0');
      separate = true;
    }
  }
  out.copy('\n');
}

// A row of the data file: its number from 1, the blank-separated values and the bare label.
void dat_row(RowBatch& out, size_t number, std::string_view values, const std::string& label) {
  char text[24];
  const auto end = std::to_chars(text, text + sizeof text, number).ptr;
  out.copy(std::string_view(text, static_cast<size_t>(end - text)));
  if (!values.empty()) out.copy(' ');
  out.borrow(values);
  out.copy(' ');
  out.copy(label);
  out.copy('\n');
}
}  // namespace

void WriteNgContexts(const NgramList& list, const std::vector<std::string>& sequences,
                     const ClassLabels* classes, OutFile& context, OutFile& dat, OutFile& arff) {
  ArffWriter arffRows(arff);
  write_heads(list, classes, static_cast<int>(sequences.size()), context, dat, arffRows);

  ValueRows rows(list.Nbvar(), classes != nullptr, sequences.size());
  RowBatch contextRows(context), datRows(dat);
  for (size_t first = 0; first < sequences.size(); first += rows.slots()) {
    const size_t count = std::min(rows.slots(), sequences.size() - first);
    for (size_t r = 0; r < count; ++r) {
      const size_t i = first + r;
      rows.fill(r, list, sequences[i]);
      const std::string* label = classes ? &classes->labels[i] : nullptr;
      arffRows.row(rows.comma(r), label);
      context_row(contextRows, rows.comma(r), classes, label);
      if (classes) dat_row(datRows, i + 1, rows.blank(r), *label);
    }
    arffRows.flush_rows();
    contextRows.flush();
    datRows.flush();
    rows.clear(count);
  }
}
