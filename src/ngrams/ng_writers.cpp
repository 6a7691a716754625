// The three n-gram contexts. A row's values are one buffer per separator ("0,0,...", "0 0 ...")
// in which only the n-grams of the sequence's windows are switched to '1' and back, so a row
// costs its number of windows plus the kernel's copy of its bytes, whatever the number of
// attributes: the values are never copied in user space.
#include "ngrams/ng_writers.h"

#include <sys/uio.h>

#include <algorithm>
#include <charconv>

#include "core/arff.h"

namespace {
constexpr const char* kMotifsHead = "#motifs number\n%d\n#motifs\n";
constexpr const char* kClassesHead = "#classes number\n%d\n#classes\n";
constexpr const char* kInstancesHead = "#instances number\n%d\n#context\n";
constexpr const char* kDatHead = "%d %d %d\n";
constexpr const char* kDatAttribute = " 2 1 1\n";
// A batch of rows holds about this many bytes of values per file, and at most this many rows
// (each row is two or three pieces of one write).
constexpr size_t kBatchBytes = 256 * 1024;
constexpr size_t kMaxBatchRows = 256;

// "0<sep>0<sep>...0" with one value per n-gram; value k sits at byte 2k.
std::string zero_row(int32_t values, char sep) {
  std::string row;
  if (values <= 0) return row;
  row.assign(static_cast<size_t>(values) * 2 - 1, '0');
  for (size_t i = 1; i < row.size(); i += 2) row[i] = sep;
  return row;
}

void set_values(std::string& row, const std::vector<uint32_t>& numbers, char v) {
  for (uint32_t k : numbers) row[static_cast<size_t>(k) * 2] = v;
}
}  // namespace

void WriteNgContexts(const NgramList& list, const std::vector<std::string>& sequences,
                     const ClassLabels* classes, OutFile& context, OutFile& dat, OutFile& arff) {
  const int32_t nbvar = list.Nbvar();
  const int tot = static_cast<int>(sequences.size());

  // Heads.
  ArffWriter arffHead(arff);
  arffHead.relation();
  context.print(kMotifsHead, nbvar);
  for (int32_t k = 0; k < nbvar; ++k) {
    const std::string_view text = list.text(static_cast<uint32_t>(k));
    arffHead.attribute(text);
    context.write(text);
    context.put('\n');
  }
  if (classes) {
    arffHead.class_attribute(classes->names);
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
  arffHead.data();
  context.print(kInstancesHead, tot);

  // Rows, in batches written straight from per-row buffers: the comma row (shared by the ARFF
  // and context files) and the blank row of the data file are switched to '1' at the row's
  // n-grams, handed to the kernel without a copy, and switched back.
  const std::string commaZero = zero_row(nbvar, ',');
  const std::string blankZero = classes ? zero_row(nbvar, ' ') : std::string();
  const size_t batch = std::clamp<size_t>(kBatchBytes / (commaZero.size() + 1), 1, kMaxBatchRows);
  const size_t slots = std::min(batch, static_cast<size_t>(tot > 0 ? tot : 0));
  std::vector<std::string> commaRows(slots, commaZero), blankRows(slots, blankZero);
  std::vector<std::vector<uint32_t>> numbers(slots);
  std::string tails;  // the short pieces of the batch: labels, class values, row numbers
  struct Piece {
    size_t at, size;
  };
  std::vector<Piece> arffTail(slots), contextTail(slots), datHead(slots), datTail(slots);
  std::vector<iovec> arffIov, contextIov, datIov;

  auto piece = [&](Piece& p, auto&& write_it) {
    p.at = tails.size();
    write_it();
    p.size = tails.size() - p.at;
  };
  auto iov = [](const char* data, size_t size) {
    return iovec{const_cast<char*>(data), size};
  };

  for (size_t first = 0; first < static_cast<size_t>(tot); first += slots) {
    const size_t rows = std::min(slots, static_cast<size_t>(tot) - first);
    tails.clear();
    for (size_t r = 0; r < rows; ++r) {
      const size_t i = first + r;
      list.window_numbers(sequences[i], numbers[r]);
      set_values(commaRows[r], numbers[r], '1');
      const std::string* label = classes ? &classes->labels[i] : nullptr;
      piece(arffTail[r], [&] {
        if (label) {
          if (nbvar > 0) tails += ',';
          tails += arff_quote(*label);
        }
        tails += '\n';
      });
      piece(contextTail[r], [&] {
        if (classes) {
          bool separate = nbvar > 0;
          for (const std::string& name : classes->names) {
            if (separate) tails += ',';
            tails += name == *label ? '1' : '0';
            separate = true;
          }
        }
        tails += '\n';
      });
      if (classes) {
        set_values(blankRows[r], numbers[r], '1');
        piece(datHead[r], [&] {
          char number[16];
          const auto end = std::to_chars(number, number + sizeof number, i + 1).ptr;
          tails.append(number, static_cast<size_t>(end - number));
          if (nbvar > 0) tails += ' ';
        });
        piece(datTail[r], [&] {
          tails += ' ';
          tails += *label;
          tails += '\n';
        });
      }
    }
    // The short pieces are complete: their addresses no longer move.
    arffIov.clear();
    contextIov.clear();
    datIov.clear();
    for (size_t r = 0; r < rows; ++r) {
      arffIov.push_back(iov(commaRows[r].data(), commaRows[r].size()));
      arffIov.push_back(iov(tails.data() + arffTail[r].at, arffTail[r].size));
      contextIov.push_back(iov(commaRows[r].data(), commaRows[r].size()));
      contextIov.push_back(iov(tails.data() + contextTail[r].at, contextTail[r].size));
      if (classes) {
        datIov.push_back(iov(tails.data() + datHead[r].at, datHead[r].size));
        datIov.push_back(iov(blankRows[r].data(), blankRows[r].size()));
        datIov.push_back(iov(tails.data() + datTail[r].at, datTail[r].size));
      }
    }
    arff.write_pieces(arffIov.data(), static_cast<int>(arffIov.size()));
    context.write_pieces(contextIov.data(), static_cast<int>(contextIov.size()));
    if (classes) dat.write_pieces(datIov.data(), static_cast<int>(datIov.size()));
    for (size_t r = 0; r < rows; ++r) {
      set_values(commaRows[r], numbers[r], '0');
      if (classes) set_values(blankRows[r], numbers[r], '0');
    }
  }
}
