// The pieces of a batch and their one write.
#include "core/row_batch.h"

#include <sys/uio.h>

void RowBatch::borrow(std::string_view piece) {
  if (!piece.empty()) pieces_.push_back({piece.data(), 0, piece.size()});
}

// Bytes appended to own_ from `at` join the last piece when that one ends there.
void RowBatch::copied(size_t at) {
  if (!pieces_.empty() && !pieces_.back().borrowed && pieces_.back().at + pieces_.back().size == at)
    pieces_.back().size = own_.size() - pieces_.back().at;
  else
    pieces_.push_back({nullptr, at, own_.size() - at});
}

void RowBatch::copy(std::string_view bytes) {
  if (bytes.empty()) return;
  const size_t at = own_.size();
  own_ += bytes;
  copied(at);
}

void RowBatch::copy(char c) {
  const size_t at = own_.size();
  own_ += c;
  copied(at);
}

void RowBatch::flush() {
  // Copied pieces are addressed only now: own_ no longer moves.
  std::vector<iovec> iov;
  iov.reserve(pieces_.size());
  for (const Piece& p : pieces_) {
    const char* data = p.borrowed ? p.borrowed : own_.data() + p.at;
    iov.push_back(iovec{const_cast<char*>(data), p.size});
  }
  file_.write_pieces(iov.data(), static_cast<int>(iov.size()));
  pieces_.clear();
  own_.clear();
}
