// The three n-gram contexts. A row's values are one buffer per separator ("0,0,...", "0 0 ...")
// in which only the n-grams of the sequence's windows are switched to '1' and back, so a row
// costs its length in bytes and its number of windows, whatever the number of attributes.
#include "ngrams/ng_writers.h"

#include <charconv>

#include "core/arff.h"
#include "input/class_file.h"

namespace {
constexpr const char* kMotifsHead = "#motifs number\n%d\n#motifs\n";
constexpr const char* kClassesHead = "#classes number\n%d\n#classes\n";
constexpr const char* kInstancesHead = "#instances number\n%d\n#context\n";
constexpr const char* kDatHead = "%d %d %d\n";
constexpr const char* kDatAttribute = " 2 1 1\n";

// "0<sep>0<sep>...0" with one value per n-gram; value k sits at byte 2k.
std::string zero_row(int32_t values, char sep) {
  std::string row;
  if (values <= 0) return row;
  row.assign(static_cast<size_t>(values) * 2 - 1, '0');
  for (size_t i = 1; i < row.size(); i += 2) row[i] = sep;
  return row;
}

void set_values(std::string& row, const uint32_t* first, const uint32_t* last, char v) {
  for (const uint32_t* k = first; k != last; ++k) row[static_cast<size_t>(*k) * 2] = v;
}
}  // namespace

NgClasses ReadNgClasses(Console& con, FILE* classFile, int sequences) {
  ClassFileReader reader(classFile, con);
  NgClasses classes;
  classes.names = reader.read_names(classes.count);
  reader.read_data_header();
  classes.labels.reserve(static_cast<size_t>(sequences > 0 ? sequences : 0));
  for (int i = 0; i < sequences; ++i) classes.labels.push_back(reader.next_label(i));
  return classes;
}

void WriteNgContexts(const NgramList& list, const std::vector<std::string>& sequences,
                     const NgClasses* classes, OutFile& context, OutFile& dat, OutFile& arff) {
  const int32_t nbvar = list.Nbvar();
  const int tot = static_cast<int>(sequences.size());

  // Heads.
  ArffWriter arffRows(arff);
  arffRows.relation();
  context.print(kMotifsHead, nbvar);
  for (int32_t k = 0; k < nbvar; ++k) {
    const std::string_view text = list.text(static_cast<uint32_t>(k));
    arffRows.attribute(text);
    context.write(text);
    context.put('\n');
  }
  if (classes) {
    arffRows.class_attribute(classes->names);
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
  arffRows.data();
  context.print(kInstancesHead, tot);

  // Rows.
  std::string commaRow = zero_row(nbvar, ',');
  std::string blankRow = classes ? zero_row(nbvar, ' ') : std::string();
  std::vector<uint32_t> numbers;  // the n-grams of the row, repeats included (set twice, same value)
  for (int i = 0; i < tot; ++i) {
    list.window_numbers(sequences[static_cast<size_t>(i)], numbers);
    const uint32_t* first = numbers.data();
    const uint32_t* last = numbers.data() + numbers.size();
    set_values(commaRow, first, last, '1');
    const std::string* label = classes ? &classes->labels[static_cast<size_t>(i)] : nullptr;

    arffRows.values(commaRow);
    arffRows.end_row(label);

    context.write(commaRow);
    if (classes) {
      bool separate = nbvar > 0;
      for (const std::string& name : classes->names) {
        if (separate) context.put(',');
        context.put(name == *label ? '1' : '0');
        separate = true;
      }
    }
    context.put('\n');

    if (classes) {
      set_values(blankRow, first, last, '1');
      char number[16];
      const auto end = std::to_chars(number, number + sizeof number, i + 1).ptr;
      dat.write(std::string_view(number, static_cast<size_t>(end - number)));
      if (nbvar > 0) {
        dat.put(' ');
        dat.write(blankRow);
      }
      dat.put(' ');
      dat.write(*label);
      dat.put('\n');
      set_values(blankRow, first, last, '0');
    }
    set_values(commaRow, first, last, '0');
  }
}
