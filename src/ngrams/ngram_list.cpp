// N-gram extraction: a table from n-gram text to its number (direct slots for small alphabets,
// open-addressing hashing otherwise), filled in scan order, so the numbers are the
// first-appearance order itself and no list is ever searched or joined.
#include "ngrams/ngram_list.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/run_exit.h"

namespace {
uint64_t mix(uint64_t h) {
  h = (h ^ (h >> 31)) * 0xBF58476D1CE4E5B9ull;
  return (h ^ (h >> 29)) * 0x94D049BB133111EBull;
}

// The first min(n, 8) bytes of an n-gram as one number. A text holds no NUL, so for n <= 8 the
// number is never 0 and equal numbers mean equal n-grams.
uint64_t pack(const char* p, int n) {
  uint64_t key = 0;
  std::memcpy(&key, p, static_cast<size_t>(n < 8 ? n : 8));
  return key;
}

uint64_t hash_bytes(const char* p, int n) {
  uint64_t h = static_cast<uint64_t>(n);
  for (; n > 0; p += 8, n -= 8) h = mix(h ^ pack(p, n));
  return h;
}

// Maps n-gram texts to their numbers; the texts themselves live in the list. Up to 8 bytes an
// n-gram is compared through its packed number, stored beside its slot.
class NgramIndex {
 public:
  explicit NgramIndex(NgramList& list) : list_(list), packed_(list.n <= 8) { resize(1024); }

  // The number of the n-gram at p, adding it (as the next number) when it is new; `added` says
  // which.
  uint32_t find_or_add(const char* p, bool& added) {
    const size_t n = static_cast<size_t>(list_.n);
    const uint64_t key = packed_ ? pack(p, list_.n) : 0;
    const uint64_t h = packed_ ? mix(key) : hash_bytes(p, list_.n);
    size_t i = static_cast<size_t>(h) & mask_;
    for (;;) {
      const uint32_t slot = slots_[i];
      if (slot == 0) break;
      if (packed_ ? keys_[i] == key
                  : std::memcmp(list_.texts.data() + (slot - 1) * n, p, n) == 0) {
        added = false;
        return slot - 1;
      }
      i = (i + 1) & mask_;
    }
    const uint32_t k = static_cast<uint32_t>(list_.texts.size() / n);
    list_.texts.append(p, n);
    slots_[i] = k + 1;
    if (packed_) keys_[i] = key;
    added = true;
    if ((static_cast<size_t>(k) + 1) * 2 > slots_.size()) resize(slots_.size() * 2);
    return k;
  }

 private:
  void resize(size_t size) {
    slots_.assign(size, 0);
    if (packed_) keys_.assign(size, 0);
    mask_ = size - 1;
    // Numbers are given in order, so the table is rebuilt from the texts.
    const size_t n = static_cast<size_t>(list_.n);
    const uint32_t count = static_cast<uint32_t>(list_.texts.size() / n);
    for (uint32_t k = 0; k < count; ++k) {
      const char* text = list_.texts.data() + k * n;
      const uint64_t key = packed_ ? pack(text, list_.n) : 0;
      size_t i = static_cast<size_t>(packed_ ? mix(key) : hash_bytes(text, list_.n)) & mask_;
      while (slots_[i] != 0) i = (i + 1) & mask_;
      slots_[i] = k + 1;
      if (packed_) keys_[i] = key;
    }
  }

  NgramList& list_;
  const bool packed_;
  std::vector<uint32_t> slots_;  // 0 empty, otherwise number + 1
  std::vector<uint64_t> keys_;   // packed n-gram of each used slot (n <= 8)
  size_t mask_ = 0;
};

// Direct indexing for small alphabets: every byte that occurs gets a code from 0 to A-1, and an
// n-gram's slot is its codes read as a number in base A. Used when A^n slots stay small (three
// letters of the 20 amino acids: 8000 slots).
class DirectIndex {
 public:
  static constexpr size_t kMaxSlots = size_t{1} << 20;

  // False when the table would exceed kMaxSlots.
  bool prepare(const std::vector<std::string>& sequences, int n) {
    std::fill(std::begin(code_), std::end(code_), 0u);
    uint32_t letters = 0;
    for (const std::string& s : sequences)
      for (unsigned char c : s)
        if (code_[c] == 0) code_[c] = ++letters;  // code + 1; 0 = not seen
    base_ = letters == 0 ? 1 : letters;
    size_t size = 1;
    for (int i = 0; i < n; ++i) {
      size *= base_;
      if (size > kMaxSlots) return false;
    }
    slots_.assign(size, 0);
    return true;
  }

  uint32_t find_or_add(NgramList& list, const char* p, bool& added) {
    size_t index = 0;
    for (int i = 0; i < list.n; ++i) index = index * base_ + (code_[static_cast<unsigned char>(p[i])] - 1);
    uint32_t& slot = slots_[index];
    if (slot != 0) {
      added = false;
      return slot - 1;
    }
    const uint32_t k = static_cast<uint32_t>(list.texts.size() / static_cast<size_t>(list.n));
    list.texts.append(p, static_cast<size_t>(list.n));
    slot = k + 1;
    added = true;
    return k;
  }

 private:
  uint32_t code_[256];
  size_t base_ = 1;
  std::vector<uint32_t> slots_;  // 0 empty, otherwise number + 1
};

// The scan shared by both indexes: windows in sequence order, then position order.
template <typename FindOrAdd>
void scan(const std::vector<std::string>& sequences, NgramList& list, FindOrAdd find_or_add) {
  const size_t n = static_cast<size_t>(list.n);
  // A sequence lists at most one n-gram per window: reserving that bound spares the copies of a
  // growing table.
  size_t windows = 0;
  for (const std::string& s : sequences) {
    const size_t len = std::strlen(s.c_str());
    if (len >= n) windows += len - n + 1;
  }
  list.present.reserve(windows);
  list.presentStart.reserve(sequences.size() + 1);
  list.presentStart.push_back(0);
  // The last sequence (number + 1) whose list took each n-gram: a sequence lists an n-gram once.
  std::vector<uint32_t> lastSeq;

  for (size_t s = 0; s < sequences.size(); ++s) {
    const uint32_t mark = static_cast<uint32_t>(s) + 1;
    const char* text = sequences[s].c_str();
    const size_t len = std::strlen(text);  // a text ends at its first NUL
    // A window holding a line feed is short (its copy stops before it): windows that start
    // before `blockedUntil` hold one.
    size_t blockedUntil = 0;
    for (size_t q = 0; q + 1 < n && q < len; ++q)
      if (text[q] == '\n') blockedUntil = q + 1;
    for (size_t p = 0; p + n <= len; ++p) {
      const size_t last = p + n - 1;
      if (text[last] == '\n') blockedUntil = last + 1;
      if (p < blockedUntil) continue;
      bool added = false;
      const uint32_t k = find_or_add(text + p, added);
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
}
}  // namespace

NgramList BuildNgramList(const std::vector<std::string>& sequences, int n, NgramIndexing indexing) {
  if (n < 1 || n > kMaxNgramLength)
    fail(1, "the n-gram length %d is outside 1 to %d", n, kMaxNgramLength);
  NgramList list;
  list.n = n;
  if (indexing == NgramIndexing::Auto) {
    auto direct = std::make_unique<DirectIndex>();
    if (direct->prepare(sequences, n)) {
      scan(sequences, list, [&](const char* p, bool& added) { return direct->find_or_add(list, p, added); });
      return list;
    }
  }
  NgramIndex index(list);
  scan(sequences, list, [&](const char* p, bool& added) { return index.find_or_add(p, added); });
  return list;
}
