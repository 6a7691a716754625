// Texts stored back to back in one buffer with their end offsets: any number of sequences or ids
// without an allocation of their own.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class PackedTexts {
 public:
  void add(std::string_view text) {
    bytes_.append(text);
    ends_.push_back(bytes_.size());
  }
  size_t size() const { return ends_.size(); }
  // Text i; the view lives until the next add or clear.
  std::string_view operator[](size_t i) const {
    const uint64_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(bytes_).substr(begin, ends_[i] - begin);
  }
  // The bytes of all the texts together.
  uint64_t bytes() const { return bytes_.size(); }
  void reserve_bytes(uint64_t bytes) { bytes_.reserve(bytes); }
  void clear() {
    bytes_.clear();
    ends_.clear();
  }

 private:
  std::string bytes_;
  std::vector<uint64_t> ends_;
};
