// N-gram extraction: one open-addressing hash table from n-gram text to its number, filled in
// scan order, so the numbers are the first-appearance order itself and no list is ever searched
// or joined.
#include "ngrams/ngram_list.h"

#include <cstring>

#include "core/run_exit.h"

namespace {
uint64_t hash_bytes(const char* p, int n) {
  uint64_t h = 0x9E3779B97F4A7C15ull * static_cast<uint64_t>(n);
  while (n > 0) {
    uint64_t chunk = 0;
    const int take = n < 8 ? n : 8;
    std::memcpy(&chunk, p, static_cast<size_t>(take));
    h = (h ^ chunk) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
    p += take;
    n -= take;
  }
  return h * 0x94D049BB133111EBull;
}

// Maps n-gram texts to their numbers; the texts themselves live in the list.
class NgramIndex {
 public:
  explicit NgramIndex(NgramList& list) : list_(list), slots_(1024, 0), mask_(1023) {}

  // The number of the n-gram at p, adding it (as the next number) when it is new; `added` says
  // which.
  uint32_t find_or_add(const char* p, bool& added) {
    const size_t n = static_cast<size_t>(list_.n);
    size_t i = static_cast<size_t>(hash_bytes(p, list_.n) >> 20) & mask_;
    for (;;) {
      const uint32_t slot = slots_[i];
      if (slot == 0) break;
      if (std::memcmp(list_.texts.data() + (slot - 1) * n, p, n) == 0) {
        added = false;
        return slot - 1;
      }
      i = (i + 1) & mask_;
    }
    const uint32_t k = static_cast<uint32_t>(list_.texts.size() / n);
    list_.texts.append(p, n);
    slots_[i] = k + 1;
    added = true;
    if ((k + 1) * 2 > slots_.size()) grow();
    return k;
  }

 private:
  void grow() {
    std::vector<uint32_t> old;
    old.swap(slots_);
    slots_.assign(old.size() * 2, 0);
    mask_ = slots_.size() - 1;
    const size_t n = static_cast<size_t>(list_.n);
    for (uint32_t slot : old) {
      if (slot == 0) continue;
      size_t i = static_cast<size_t>(hash_bytes(list_.texts.data() + (slot - 1) * n, list_.n) >> 20) & mask_;
      while (slots_[i] != 0) i = (i + 1) & mask_;
      slots_[i] = slot;
    }
  }

  NgramList& list_;
  std::vector<uint32_t> slots_;  // 0 empty, otherwise number + 1
  size_t mask_;
};
}  // namespace

NgramList BuildNgramList(const std::vector<std::string>& sequences, int n) {
  if (n < 1 || n > kMaxNgramLength)
    fail(1, "the n-gram length %d is outside 1 to %d", n, kMaxNgramLength);
  NgramList list;
  list.n = n;
  list.presentStart.reserve(sequences.size() + 1);
  list.presentStart.push_back(0);
  NgramIndex index(list);
  // The last sequence (number + 1) whose list took each n-gram: a sequence lists an n-gram once.
  std::vector<uint32_t> lastSeq;

  for (size_t s = 0; s < sequences.size(); ++s) {
    const uint32_t mark = static_cast<uint32_t>(s) + 1;
    const char* text = sequences[s].c_str();
    const size_t len = std::strlen(text);  // a text ends at its first NUL
    // A window holding a line feed is short (its copy stops before it): windows that start
    // before `blockedUntil` hold one.
    size_t blockedUntil = 0;
    for (size_t q = 0; q + 1 < static_cast<size_t>(n) && q < len; ++q)
      if (text[q] == '\n') blockedUntil = q + 1;
    for (size_t p = 0; p + static_cast<size_t>(n) <= len; ++p) {
      const size_t last = p + static_cast<size_t>(n) - 1;
      if (text[last] == '\n') blockedUntil = last + 1;
      if (p < blockedUntil) continue;
      bool added = false;
      const uint32_t k = index.find_or_add(text + p, added);
      if (added) {
        list.seqcount.push_back(1);
        list.count.push_back(1);
        list.pos.push_back(static_cast<uint32_t>(p));
        lastSeq.push_back(mark);
        list.present.push_back(k);
      } else if (lastSeq[k] != mark) {
        lastSeq[k] = mark;
        ++list.seqcount[k];
        list.present.push_back(k);
      } else if (list.seqcount[k] == 1) {
        // A repeat inside the only (so the first) sequence that holds the n-gram so far.
        ++list.count[k];
      }
    }
    list.presentStart.push_back(list.present.size());
  }
  return list;
}
