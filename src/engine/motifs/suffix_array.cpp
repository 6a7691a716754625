// Joining the sequences, sorting the suffixes (libdivsufsort, 32- or 64-bit) and the common
// prefixes of neighbours by the permuted method (each suffix compared with its predecessor in
// text order, so that the count carried from one position to the next amortises the scans).
#include "engine/motifs/suffix_array.h"

#include <divsufsort.h>
#include <divsufsort64.h>

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <new>
#include <stdexcept>
#include <thread>
#include <utility>

namespace {
// A byte that no sequence holds, NUL first.
char unused_byte(SequenceViews seqs) {
  std::array<bool, 256> used{};
  size_t distinct = 0;
  for (std::string_view s : seqs) {
    for (char c : s) {
      bool& u = used[static_cast<unsigned char>(c)];
      if (!u) {
        u = true;
        if (++distinct == used.size()) break;
      }
    }
    if (distinct == used.size()) break;
  }
  for (size_t b = 0; b < used.size(); ++b)
    if (!used[b]) return static_cast<char>(static_cast<unsigned char>(b));
  throw std::invalid_argument("the sequences hold every byte value: none is left to end them");
}

// The suffixes of `text` in order, one width or the other.
template <class Index>
std::vector<Index> sorted_suffixes(const std::string& text) {
  std::vector<Index> sa(text.size());
  if (text.empty()) return sa;
  const auto* t = reinterpret_cast<const sauchar_t*>(text.data());
  int failed;
  if constexpr (sizeof(Index) == sizeof(saidx_t)) {
    static_assert(sizeof(saidx_t) == sizeof(uint32_t));
    failed = divsufsort(t, reinterpret_cast<saidx_t*>(sa.data()), static_cast<saidx_t>(sa.size()));
  } else {
    static_assert(sizeof(saidx64_t) == sizeof(Index));
    failed =
        divsufsort64(t, reinterpret_cast<saidx64_t*>(sa.data()), static_cast<saidx64_t>(sa.size()));
  }
  if (failed != 0) throw std::bad_alloc();
  return sa;
}
}  // namespace

template <class Index>
uint64_t SuffixArray<Index>::capacity() {
  // The sorter takes signed lengths.
  return sizeof(Index) == 4 ? static_cast<uint64_t>(std::numeric_limits<int32_t>::max())
                            : static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
}

template <class Index>
SuffixArray<Index>::SuffixArray(SequenceViews seqs, bool withLcp, const ProgressFn& progress,
                                unsigned sortDepth) {
  separator_ = unused_byte(seqs);
  uint64_t total = 0;
  for (std::string_view s : seqs) total += s.size() + 1;
  if (total > capacity()) throw std::length_error("text too long for this index width");
  auto step = [&progress](std::string_view name) {
    if (progress) progress({name, 0, 0, {}, 0});
  };

  step("joining the sequences");
  text_.reserve(static_cast<size_t>(total));
  starts_.reserve(seqs.size() + 1);
  for (std::string_view s : seqs) {
    starts_.push_back(static_cast<Index>(text_.size()));
    text_.append(s);
    text_.push_back(separator_);
  }
  starts_.push_back(static_cast<Index>(text_.size()));
  const size_t n = text_.size();
  blocks_.resize((n >> kBlockBits) + 1);
  Index s = 0;
  for (size_t b = 0; b < blocks_.size(); ++b) {
    const size_t p = b << kBlockBits;
    while (s + 1 < starts_.size() - 1 && starts_[s + 1] <= p) ++s;
    blocks_[b] = s;
  }

  step("sorting the suffixes");
  if (sortDepth > 0) {
    sort_to_depth(sortDepth);
    return;
  }
  sa_ = sorted_suffixes<Index>(text_);
  if (withLcp) {
    step("comparing neighbouring suffixes");
    compute_lcp();
  }
}

namespace {
// Runs work(begin, end) over [0, n) cut into one part per core (one part for small texts, where
// a thread costs more than it saves), each part starting at a cut that `cut_at` may move on.
template <class Cut, class Work>
void in_parts(size_t n, Cut cut_at, Work work) {
  constexpr size_t kSmall = size_t{1} << 24;
  const size_t parts =
      n < kSmall ? 1
                 : std::max<size_t>(1, std::min<size_t>(8, std::thread::hardware_concurrency()));
  std::vector<size_t> cuts{0};
  for (size_t k = 1; k < parts; ++k) cuts.push_back(std::max(cuts.back(), cut_at(n / parts * k)));
  cuts.push_back(n);
  std::vector<std::thread> threads;
  for (size_t k = 1; k + 1 < cuts.size(); ++k) threads.emplace_back(work, cuts[k], cuts[k + 1]);
  work(cuts[0], cuts[1]);
  for (std::thread& t : threads) t.join();
}

// How far ahead a loop that reads one array in order asks the memory for the entry it will need.
constexpr size_t kAhead = 32;
}  // namespace

template <class Index>
void SuffixArray<Index>::compute_lcp() {
  const size_t n = text_.size();
  if (n == 0) return;
  // plcp first holds, for each position, the start of the suffix ranked just before it (the
  // first-ranked suffix has none: n); each entry is overwritten by the common prefix length.
  plcp_.resize(n);
  // Both loops read one array in order and touch another anywhere: the memory is asked for the
  // far entry some steps ahead, so that the waits overlap. Each loop runs in parts on every core:
  // the first writes distinct entries; the second restarts its count at 0 after a separator, so
  // parts that begin right after one give the same lengths.
  plcp_[sa_[0]] = static_cast<Index>(n);
  in_parts(
      n, [](size_t at) { return std::max<size_t>(at, 1); },
      [this, n](size_t begin, size_t end) {
        for (size_t i = std::max<size_t>(begin, 1); i < end; ++i) {
          if (i + kAhead < end) __builtin_prefetch(&plcp_[sa_[i + kAhead]], 1);
          plcp_[sa_[i]] = sa_[i - 1];
        }
      });
  const char* t = text_.data();
  const char sep = separator_;
  in_parts(
      n,
      [t, sep, n](size_t at) {
        while (at < n && t[at] != sep) ++at;
        return std::min(at + 1, n);
      },
      [this, t, sep, n](size_t begin, size_t end) {
        size_t h = 0;
        for (size_t p = begin; p < end; ++p) {
          if (p + kAhead < end && plcp_[p + kAhead] < n)
            __builtin_prefetch(t + plcp_[p + kAhead] + h);
          const size_t j = plcp_[p];
          if (j == n || t[p] == sep) {
            h = 0;
            plcp_[p] = 0;
            continue;
          }
          // Both texts end with a separator, which stops the scan before either runs out.
          while (t[p + h] == t[j + h] && t[p + h] != sep) ++h;
          plcp_[p] = static_cast<Index>(h);
          if (h > 0) --h;
        }
      });
}

namespace {
// The first characters of a suffix packed in one key, the first in the highest bits: each
// character is its rank among the bytes in use (in byte order, from 1), the separator and
// everything after it 0. Keys then compare as the suffixes do up to `depth` characters.
class PackedPrefix {
 public:
  PackedPrefix(const std::string& text, char separator, unsigned wanted) {
    std::array<bool, 256> used{};
    for (char c : text) used[static_cast<unsigned char>(c)] = true;
    used[static_cast<unsigned char>(separator)] = false;
    unsigned sigma = 0;
    for (size_t b = 0; b < used.size(); ++b)
      if (used[b]) rank_[b] = static_cast<uint8_t>(++sigma);
    bits_ = std::max(1u, static_cast<unsigned>(std::bit_width(sigma)));
    depth_ = std::max(1u, std::min(wanted, 64 / bits_));
  }
  unsigned depth() const { return depth_; }
  uint64_t key(const char* t) const {
    uint64_t k = 0;
    for (unsigned j = 0; j < depth_; ++j) {
      const uint64_t r = rank_[static_cast<unsigned char>(t[j])];
      if (r == 0) break;  // the separator: the text always ends with one
      k |= r << (64 - bits_ * (j + 1));
    }
    return k;
  }
  // The key bits below the bucket's characters, [low, high).
  unsigned low_bit() const { return 64 - bits_ * depth_; }
  unsigned high_bit() const { return 64 - bits_ * bucket_chars(); }
  // The bucket of a suffix: its first one or two characters.
  unsigned bucket_chars() const { return std::min(depth_, 2u); }
  size_t buckets() const { return size_t{1} << (bits_ * bucket_chars()); }
  size_t bucket(const char* t) const {
    size_t b = 0;
    bool ended = false;
    for (unsigned j = 0; j < bucket_chars(); ++j) {
      const size_t r = ended ? 0 : rank_[static_cast<unsigned char>(t[j])];
      ended = r == 0;
      b = (b << bits_) | r;
    }
    return b;
  }
  // The common prefix of two suffixes with keys a then b, within b's sequence.
  uint8_t common(uint64_t a, uint64_t b) const {
    if (b == 0) return 0;
    const unsigned length = (64 - static_cast<unsigned>(std::countr_zero(b)) + bits_ - 1) / bits_;
    const unsigned same = a == b ? depth_ : static_cast<unsigned>(std::countl_zero(a ^ b)) / bits_;
    return static_cast<uint8_t>(std::min(same, length));
  }

 private:
  std::array<uint8_t, 256> rank_{};
  unsigned bits_ = 1, depth_ = 1;
};

// A suffix being sorted: its first characters packed in a key, its position and its sequence.
template <class Index>
struct Keyed {
  uint64_t key;
  Index position, sequence;
};

// Sorts suffixes given in ascending positions by the key bits [low, high), equal keys keeping
// their order. A radix sort, 11 bits a digit: a part larger than the core's cache is first split
// by its highest digit, so that each part is then sorted in cache, from its lowest digit up;
// digits that every key shares are skipped, and short parts are sorted by comparison.
template <class Index>
void sort_keyed(Keyed<Index>* keyed, Keyed<Index>* spare, size_t n, unsigned low, unsigned high) {
  constexpr size_t kShort = 256, kCached = size_t{1} << 15;
  if (n < kShort || low >= high) {
    std::stable_sort(keyed, keyed + n, [](const auto& a, const auto& b) { return a.key < b.key; });
    return;
  }
  constexpr unsigned kDigit = 11;
  std::array<size_t, (size_t{1} << kDigit) + 1> start;
  // The starts of the digits at `shift` in start[0..]; false when every key has the same digit.
  auto digit_starts = [&](unsigned shift, uint64_t mask) {
    start.fill(0);
    for (size_t i = 0; i < n; ++i) ++start[((keyed[i].key >> shift) & mask) + 1];
    if (start[((keyed[0].key >> shift) & mask) + 1] == n) return false;
    for (size_t d = 1; d < start.size(); ++d) start[d] += start[d - 1];
    return true;
  };
  if (n > kCached) {
    const unsigned shift = high > low + kDigit ? high - kDigit : low;
    const uint64_t mask = (uint64_t{1} << (high - shift)) - 1;
    if (!digit_starts(shift, mask)) return sort_keyed(keyed, spare, n, low, shift);
    std::array<size_t, (size_t{1} << kDigit) + 1> next = start;
    for (size_t i = 0; i < n; ++i) spare[next[(keyed[i].key >> shift) & mask]++] = keyed[i];
    std::copy(spare, spare + n, keyed);
    for (size_t d = 0; d + 1 < start.size(); ++d)
      if (start[d + 1] - start[d] > 1)
        sort_keyed(keyed + start[d], spare + start[d], start[d + 1] - start[d], low, shift);
    return;
  }
  bool inSpare = false;
  for (unsigned shift = low; shift < high; shift += kDigit) {
    const uint64_t mask = (uint64_t{1} << std::min(kDigit, high - shift)) - 1;
    if (!digit_starts(shift, mask)) continue;
    for (size_t i = 0; i < n; ++i) spare[start[(keyed[i].key >> shift) & mask]++] = keyed[i];
    std::swap(keyed, spare);
    inSpare = !inSpare;
  }
  if (inSpare) std::copy(keyed, keyed + n, spare);  // back into the caller's array
}
}  // namespace

template <class Index>
void SuffixArray<Index>::sort_to_depth(unsigned sortDepth) {
  const size_t n = text_.size();
  const PackedPrefix prefix(text_, separator_, sortDepth);
  depth_ = prefix.depth();
  sa_.resize(n);
  lcpRank_.assign(n, 0);
  rankSeq_.assign(n, 0);
  if (n == 0) return;
  // Bucketed by the first characters, positions ascending in each bucket; each bucket is then
  // sorted by key (and position) on its own, the buckets shared among the cores.
  const char* t = text_.data();
  std::vector<Index> start(prefix.buckets() + 1, 0);
  for (size_t p = 0; p < n; ++p) ++start[prefix.bucket(t + p) + 1];
  for (size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
  {
    std::vector<Index> cursor(start.begin(), start.end() - 1);
    for (size_t p = 0; p < n; ++p) sa_[cursor[prefix.bucket(t + p)]++] = static_cast<Index>(p);
  }
  // The first rank of each part is the first rank of a bucket.
  auto bucket_at = [&start](size_t at) {
    return static_cast<size_t>(
        *std::lower_bound(start.begin(), start.end(), static_cast<Index>(at)));
  };
  in_parts(n, bucket_at, [&](size_t begin, size_t end) {
    std::vector<Keyed<Index>> keyed, spare;
    for (size_t lo = begin; lo < end;) {
      const size_t hi = bucket_at(lo + 1);
      keyed.clear();
      for (size_t i = lo; i < hi; ++i) {
        if (i + kAhead < hi) __builtin_prefetch(t + sa_[i + kAhead]);
        // Positions ascend in a bucket: finding their sequences reads the tables in order.
        keyed.push_back({prefix.key(t + sa_[i]), sa_[i], sequence_of(sa_[i])});
      }
      spare.resize(keyed.size());
      sort_keyed(keyed.data(), spare.data(), keyed.size(), prefix.low_bit(), prefix.high_bit());
      for (size_t i = lo; i < hi; ++i) {
        sa_[i] = keyed[i - lo].position;
        rankSeq_[i] = keyed[i - lo].sequence;
        if (i > lo) lcpRank_[i] = prefix.common(keyed[i - lo - 1].key, keyed[i - lo].key);
      }
      lo = hi;
    }
  });
  // The first rank of each bucket against the last rank before it.
  for (size_t b = 0; b + 1 < start.size(); ++b)
    if (start[b] > 0 && start[b] < start[b + 1])
      lcpRank_[start[b]] =
          prefix.common(prefix.key(t + sa_[start[b] - 1]), prefix.key(t + sa_[start[b]]));
}

template class SuffixArray<uint32_t>;
template class SuffixArray<uint64_t>;
