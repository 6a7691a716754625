// RowBatch: rows of many kilobytes handed to the kernel in batches without a copy in user space.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/out_file.h"

// The pieces of a batch of rows of one file, written by flush() in one call: borrowed pieces
// are written from the caller's buffers, which must stay unchanged until then; copied pieces
// (labels, row numbers) are kept by the batch, each run of them as one piece.
class RowBatch {
 public:
  explicit RowBatch(OutFile& file) : file_(file) {}

  void borrow(std::string_view piece);
  void copy(std::string_view bytes);
  void copy(char c);
  // Writes every piece after what the file holds, and empties the batch.
  void flush();

 private:
  struct Piece {
    const char* borrowed;  // null: `size` bytes of own_ from `at`
    size_t at, size;
  };
  void copied(size_t at);

  OutFile& file_;
  std::vector<Piece> pieces_;
  std::string own_;
};
