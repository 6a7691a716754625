// A table from texts to numbers for millions of short keys (sequence ids): the keys live back to
// back in one buffer and the slots of an open-addressing table hold entry numbers, so that a key
// costs no allocation of its own and a lookup touches two small arrays instead of a node.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class StringTable {
 public:
  // The entry number of `key` (entries are numbered from 0 in the order they were added), adding
  // it when absent; `added` says which.
  uint64_t insert(std::string_view key, bool& added);
  // The entry number of `key`, or kNone.
  uint64_t find(std::string_view key) const;
  static constexpr uint64_t kNone = UINT64_MAX;

  size_t size() const { return ends_.size(); }
  std::string_view key(uint64_t entry) const {
    const uint64_t begin = entry == 0 ? 0 : ends_[entry - 1];
    return std::string_view(keys_).substr(begin, ends_[entry] - begin);
  }

 private:
  uint64_t slot_of(std::string_view key, uint64_t hash) const;
  void grow();

  std::string keys_;
  std::vector<uint64_t> ends_;    // by entry: the end of its key in keys_
  std::vector<uint64_t> hashes_;  // by entry
  std::vector<uint64_t> slots_;   // entry + 1, or 0 for a free slot
};
