// N-gram extraction: a table from n-gram text to its number (direct slots for small alphabets,
// open-addressing hashing otherwise), filled in scan order, so the numbers are the
// first-appearance order itself and no list is ever searched or joined.
#include "engine/ngrams/ngram_list.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {
constexpr size_t kBuildingEvery = 256;  // sequences between two progress calls

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

constexpr uint32_t kNone = UINT32_MAX;
}  // namespace

// Maps n-gram texts to their numbers; the texts themselves live in the list.
// Direct mode, for small alphabets: every byte that occurs gets a code from 0 to A-1, and an
// n-gram's slot is its codes read as a number in base A (three letters of the 20 amino acids:
// 8000 slots). Hashed mode: open addressing; up to 8 bytes an n-gram is compared through its
// packed number, stored beside its slot.
class NgramIndex {
 public:
  static constexpr size_t kMaxDirectSlots = size_t{1} << 20;

  NgramIndex(SequenceViews sequences, int n, NgramIndexing indexing) : n_(n), packed_(n <= 8) {
    if (indexing == NgramIndexing::Auto && try_direct(sequences)) return;
    direct_ = false;
    resize(1024, "");
  }

  struct Numbered {
    uint32_t number;
    bool added;  // the n-gram was new
  };
  // The number of the n-gram at p, adding it to `texts` (as the next number) when it is new.
  Numbered find_or_add(std::string& texts, const char* p) {
    const Slot at = lookup(texts.data(), p);
    if (at.number != kNone) return {at.number, false};
    const uint32_t k = static_cast<uint32_t>(texts.size() / static_cast<size_t>(n_));
    texts.append(p, static_cast<size_t>(n_));
    slots_[at.slot] = k + 1;
    if (!direct_ && packed_) keys_[at.slot] = pack(p, n_);
    if (!direct_ && (static_cast<size_t>(k) + 1) * 2 > slots_.size())
      resize(slots_.size() * 2, texts);
    return {k, true};
  }

  // The number of the n-gram at p, or kNone.
  uint32_t find(const std::string& texts, const char* p) const {
    return lookup(texts.data(), p).number;
  }

 private:
  bool try_direct(SequenceViews sequences) {
    std::fill(std::begin(code_), std::end(code_), 0u);
    uint32_t letters = 0;
    for (std::string_view s : sequences)
      for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (code_[c] == 0) code_[c] = ++letters;  // code + 1; 0 = never seen
      }
    base_ = letters == 0 ? 1 : letters;
    size_t size = 1;
    for (int i = 0; i < n_; ++i) {
      size *= base_;
      if (size > kMaxDirectSlots) return false;
    }
    direct_ = true;
    slots_.assign(size, 0);
    return true;
  }

  // The number of the n-gram at p (kNone when absent) and the slot where it is or would go.
  struct Slot {
    uint32_t number;
    size_t slot;
  };
  Slot lookup(const char* texts, const char* p) const {
    if (direct_) {
      size_t index = 0;
      for (int i = 0; i < n_; ++i) {
        const uint32_t c = code_[static_cast<unsigned char>(p[i])];
        if (c == 0) return {kNone, 0};  // a byte the sequences never held
        index = index * base_ + (c - 1);
      }
      return {slots_[index] == 0 ? kNone : slots_[index] - 1, index};
    }
    const size_t n = static_cast<size_t>(n_);
    const uint64_t key = packed_ ? pack(p, n_) : 0;
    size_t i = static_cast<size_t>(packed_ ? mix(key) : hash_bytes(p, n_)) & mask_;
    for (;;) {
      const uint32_t s = slots_[i];
      if (s == 0) break;
      if (packed_ ? keys_[i] == key : std::memcmp(texts + (s - 1) * n, p, n) == 0)
        return {s - 1, i};
      i = (i + 1) & mask_;
    }
    return {kNone, i};
  }

  void resize(size_t size, const std::string& texts) {
    slots_.assign(size, 0);
    if (packed_) keys_.assign(size, 0);
    mask_ = size - 1;
    // Numbers are given in order, so the table is rebuilt from the texts.
    const size_t n = static_cast<size_t>(n_);
    const uint32_t count = static_cast<uint32_t>(texts.size() / n);
    for (uint32_t k = 0; k < count; ++k) {
      const char* text = texts.data() + k * n;
      const uint64_t key = packed_ ? pack(text, n_) : 0;
      size_t i = static_cast<size_t>(packed_ ? mix(key) : hash_bytes(text, n_)) & mask_;
      while (slots_[i] != 0) i = (i + 1) & mask_;
      slots_[i] = k + 1;
      if (packed_) keys_[i] = key;
    }
  }

  const int n_;
  const bool packed_;
  bool direct_ = false;
  uint32_t code_[256] = {};
  size_t base_ = 1;
  std::vector<uint32_t> slots_;  // 0 empty, otherwise number + 1
  std::vector<uint64_t> keys_;   // hashed mode, n <= 8: packed n-gram of each used slot
  size_t mask_ = 0;
};

namespace {
// Calls visit(p) for the start p of every window of n characters of `sequence` that holds no
// line feed (a copy of such a window stops before it and is short), in position order.
template <typename Visit>
void for_each_window(std::string_view sequence, size_t n, Visit visit) {
  const char* text = sequence.data();
  // A text ends at its first NUL.
  const size_t len = std::min(sequence.size(), sequence.find('\0'));
  // Windows that start before `blockedUntil` hold a line feed.
  size_t blockedUntil = 0;
  for (size_t q = 0; q + 1 < n && q < len; ++q)
    if (text[q] == '\n') blockedUntil = q + 1;
  for (size_t p = 0; p + n <= len; ++p) {
    const size_t last = p + n - 1;
    if (text[last] == '\n') blockedUntil = last + 1;
    if (p >= blockedUntil) visit(text + p, p);
  }
}
}  // namespace

void NgramList::window_numbers(std::string_view sequence, std::vector<uint32_t>& out) const {
  out.clear();
  if (!index) return;
  for_each_window(sequence, static_cast<size_t>(n), [&](const char* p, size_t) {
    const uint32_t k = index->find(texts, p);
    if (k != kNone) out.push_back(k);
  });
}

NgramList BuildNgramList(SequenceViews sequences, int n, NgramIndexing indexing,
                         const ProgressFn& progress) {
  if (n < 1) throw std::invalid_argument("the n-gram length " + std::to_string(n) + " is below 1");
  NgramList list;
  list.n = n;
  list.sequences = sequences.size();
  auto index = std::make_shared<NgramIndex>(sequences, n, indexing);
  // The last sequence (number + 1) whose list took each n-gram: a sequence lists an n-gram once.
  std::vector<uint32_t> lastSeq;
  for (size_t s = 0; s < sequences.size(); ++s) {
    if (progress && s % kBuildingEvery == 0)
      progress({"building the n-grams", s, sequences.size(), "sequences"});
    const uint32_t mark = static_cast<uint32_t>(s) + 1;
    for_each_window(sequences[s], static_cast<size_t>(n), [&](const char* p, size_t at) {
      const auto [k, added] = index->find_or_add(list.texts, p);
      if (added) {
        list.seqcount.push_back(1);
        list.count.push_back(1);
        list.pos.push_back(static_cast<uint32_t>(at));
        lastSeq.push_back(mark);
        ++list.cells;
      } else if (lastSeq[k] != mark) {
        lastSeq[k] = mark;
        ++list.seqcount[k];
        ++list.cells;
      } else if (list.seqcount[k] == 1) {
        // A repeat inside the only (so the first) sequence that holds the n-gram so far.
        ++list.count[k];
      }
    });
  }
  list.index = std::move(index);
  return list;
}
