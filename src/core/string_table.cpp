#include "core/string_table.h"

#include <functional>

namespace {
uint64_t hash_of(std::string_view key) { return std::hash<std::string_view>{}(key); }
}  // namespace

uint64_t StringTable::slot_of(std::string_view key, uint64_t hash) const {
  const uint64_t mask = slots_.size() - 1;
  for (uint64_t i = hash & mask;; i = (i + 1) & mask) {
    const uint64_t s = slots_[i];
    if (s == 0 || (hashes_[s - 1] == hash && this->key(s - 1) == key)) return i;
  }
}

void StringTable::grow() {
  slots_.assign(slots_.empty() ? 64 : slots_.size() * 2, 0);
  const uint64_t mask = slots_.size() - 1;
  for (uint64_t e = 0; e < ends_.size(); ++e) {
    uint64_t i = hashes_[e] & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = e + 1;
  }
}

uint64_t StringTable::insert(std::string_view key, bool& added) {
  if ((ends_.size() + 1) * 2 > slots_.size()) grow();
  const uint64_t hash = hash_of(key);
  const uint64_t i = slot_of(key, hash);
  added = slots_[i] == 0;
  if (!added) return slots_[i] - 1;
  keys_.append(key);
  ends_.push_back(keys_.size());
  hashes_.push_back(hash);
  slots_[i] = ends_.size();
  return ends_.size() - 1;
}

uint64_t StringTable::find(std::string_view key) const {
  if (slots_.empty()) return kNone;
  const uint64_t s = slots_[slot_of(key, hash_of(key))];
  return s == 0 ? kNone : s - 1;
}
