// The index of the sample, the sample threshold, the index of the rest and the walk.
#include "engine/motifs/motif_search.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/matching/edit_distance.h"
#include "engine/motifs/motif_tree.h"
#include "engine/motifs/suffix_array.h"

struct MotifIndex::Arrays {
  std::unique_ptr<SuffixArray<uint32_t>> narrow;
  std::unique_ptr<SuffixArray<uint64_t>> wide;
};

namespace {
uint64_t joined_size(SequenceViews seqs) {
  uint64_t total = 0;
  for (std::string_view s : seqs) total += s.size() + 1;
  return total;
}

template <class Index>
std::vector<std::string_view> views_of_joined(const SuffixArray<Index>& sa) {
  std::vector<std::string_view> v;
  v.reserve(sa.sequences());
  for (size_t s = 0; s < sa.sequences(); ++s) v.push_back(sa.sequence(static_cast<Index>(s)));
  return v;
}
}  // namespace

MotifIndex::MotifIndex(SequenceViews sample, MotifObserver* observer, Width width,
                       unsigned sortDepth)
    : arrays_(std::make_unique<Arrays>()) {
  const uint64_t total = joined_size(sample);
  if (observer) observer->building(0, sample.size(), 0);
  std::function<void(const char*)> phase;
  if (observer) phase = [observer](const char* step) { observer->phase(step); };
  if (width == Width::Fit && total <= SuffixArray<uint32_t>::capacity()) {
    arrays_->narrow = std::make_unique<SuffixArray<uint32_t>>(sample, true, phase, sortDepth);
    sample_ = views_of_joined(*arrays_->narrow);
  } else {
    arrays_->wide = std::make_unique<SuffixArray<uint64_t>>(sample, true, phase, sortDepth);
    sample_ = views_of_joined(*arrays_->wide);
  }
  if (observer) observer->building(sample.size(), sample.size(), total - sample.size());
}

MotifIndex::~MotifIndex() = default;

bool MotifIndex::wide() const { return arrays_->wide != nullptr; }

int16_t compute_minsam(int Tot, int Sam, int Minocc) {
  constexpr double z = 2.58;
  int m = 1;
  while (m <= Sam) {
    const double f = static_cast<double>(m) / Sam;
    const double u = z * std::sqrt(static_cast<double>(Tot - Sam) / (Tot - 1.0));
    const double se = std::sqrt((1 - f) * f / Tot);
    const double c = 0.5 / Sam + u * se + f;
    // With Tot 1 the first root is 0/0: the comparison is false every time.
    if (Tot * c >= Minocc) break;
    ++m;
  }
  return static_cast<int16_t>(m);
}

namespace {
// The sequences left out of the sample, as a suffix array of their own: the suffixes that begin
// with a candidate are one range of it, narrowed by one character as the candidate grows.
class RestIndex {
 public:
  struct Range {
    uint64_t lo, hi;  // ranks lo to hi - 1
  };
  explicit RestIndex(SequenceViews D) {
    if (joined_size(D) <= SuffixArray<uint32_t>::capacity())
      narrow_ = std::make_unique<SuffixArray<uint32_t>>(D, false);
    else
      wide_ = std::make_unique<SuffixArray<uint64_t>>(D, false);
  }
  Range all() const { return {0, narrow_ ? narrow_->size() : wide_->size()}; }
  // The suffixes of r, which share their first k characters, whose next character is c.
  Range narrow(Range r, uint64_t k, char c) const {
    return narrow_ ? narrow_in(*narrow_, r, k, c) : narrow_in(*wide_, r, k, c);
  }
  // The sequences of the suffixes of r, sorted and distinct.
  void sequences(Range r, std::vector<uint64_t>& out) const {
    if (narrow_)
      sequences_in(*narrow_, r, out);
    else
      sequences_in(*wide_, r, out);
  }

 private:
  template <class Index>
  static Range narrow_in(const SuffixArray<Index>& sa, Range r, uint64_t k, char c) {
    // Within r the suffixes are sorted by their character k (a separator ends each sequence,
    // so that no read runs past the text).
    const auto* t = reinterpret_cast<const unsigned char*>(sa.text().data());
    const unsigned char want = static_cast<unsigned char>(c);
    auto at = [&](uint64_t x) { return t[sa.at(static_cast<Index>(x)) + k]; };
    uint64_t lo = r.lo, hi = r.hi;
    while (lo < hi) {
      const uint64_t mid = lo + (hi - lo) / 2;
      if (at(mid) < want)
        lo = mid + 1;
      else
        hi = mid;
    }
    uint64_t end = lo, top = r.hi;
    while (end < top) {
      const uint64_t mid = end + (top - end) / 2;
      if (at(mid) <= want)
        end = mid + 1;
      else
        top = mid;
    }
    return {lo, end};
  }
  template <class Index>
  static void sequences_in(const SuffixArray<Index>& sa, Range r, std::vector<uint64_t>& out) {
    out.clear();
    for (uint64_t x = r.lo; x < r.hi; ++x) out.push_back(sa.sequence_at(static_cast<Index>(x)));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
  }

  std::unique_ptr<SuffixArray<uint32_t>> narrow_;
  std::unique_ptr<SuffixArray<uint64_t>> wide_;
};

template <class Index>
class Walk {
 public:
  Walk(MotifSearch& ms, const SuffixArray<Index>& sa, SequenceViews P, SequenceViews D,
       MotifObserver* observer)
      : ms_(ms),
        sa_(sa),
        P_(P),
        D_(D),
        observer_(observer),
        sam_(static_cast<int64_t>(P.size())),
        rest_(static_cast<int64_t>(D.size())),
        fast_(ms.Dist == 0),
        firstLength_(std::max<int64_t>(ms.Minlgh, 1)) {}

  void run() {
    // With Dist 0 a candidate that the index's count fails cannot pass: only the strings that
    // enough sampled sequences contain become nodes. Otherwise every string may pass.
    const TreeRules rules{fast_ ? ms_.Minsam : 0, ms_.Minlgh, static_cast<uint64_t>(sam_),
                          ms_.Minsam, fast_ && observer_ && observer_->hears_tests()};
    // An index sorted only to a depth serves when the tree is pruned by the counts, the shortest
    // candidate is shallower, and no node of the tree reaches that depth.
    const uint64_t sorted = sa_.sorted_depth();
    if (sorted != UINT64_MAX &&
        (rules.keepFrom <= 1 || static_cast<uint64_t>(std::max<int64_t>(ms_.Minlgh, 0)) >= sorted))
      throw MotifIndex::TooShallow{};
    const MotifTree tree = build_motif_tree(sa_, rules);
    // A node as deep as the sorting may be deeper, and its children are not known.
    for (const MotifTree::Node& node : tree.nodes)
      if (node.depth >= sorted) throw MotifIndex::TooShallow{};
    if (fast_ && rest_ > 0) rest_index_ = std::make_unique<RestIndex>(D_);

    struct Step {
      uint64_t node;
      uint64_t next;  // the next child to visit
    };
    std::vector<Step> path{{tree.root, tree.nodes[tree.root].kidsBegin}};
    while (!path.empty()) {
      Step& top = path.back();
      const MotifTree::Node& x = tree.nodes[top.node];
      if (top.next == x.kidsEnd) {
        path.pop_back();
        continue;
      }
      const MotifTree::Kid kid = tree.kids[top.next++];
      if (kid.node == MotifTree::kRun) {
        // Failing children: each is tried at its first length that is long enough.
        if (std::max(static_cast<int64_t>(x.depth) + 1, ms_.Minlgh) <= ms_.Maxlgh) {
          ms_.St += kid.st;
          tested(kid.calls);
        }
        continue;
      }
      const MotifTree::Node& y = tree.nodes[kid.node];
      if (edge(y, static_cast<int64_t>(x.depth)) && y.kidsBegin != y.kidsEnd) {
        path.push_back({kid.node, y.kidsBegin});
        ms_.deepestPath = std::max(ms_.deepestPath, path.size() - 1);
      }
    }
  }

 private:
  void tested(uint64_t calls) {
    if (observer_ && calls > 0) observer_->tested(calls);
  }

  // Tries the candidates of lengths parent + 1 to y.depth, which all begin the same suffixes;
  // false when the walk leaves y there (a candidate failed or is too long).
  bool edge(const MotifTree::Node& y, int64_t parent) {
    for (int64_t e = std::max(parent + 1, ms_.Minlgh); e <= static_cast<int64_t>(y.depth); ++e) {
      if (e > ms_.Maxlgh) return false;
      ++ms_.St;
      int64_t count = 0;
      if (!(fast_ ? count_fast(y, e, count) : count_plain(y, e, count))) return false;
      found(count, y.pos, e);
    }
    return true;
  }

  // The tests of the plain search, replayed from the exact occurrence sets: the sample's from
  // the node (it is a node only if it passes), the rest's from its suffix array.
  bool count_fast(const MotifTree::Node& y, int64_t e, int64_t& count) {
    tested(static_cast<uint64_t>(sam_));
    count = static_cast<int64_t>(y.count);
    if (rest_ == 0) return true;
    const char* w = sa_.text().data() + y.pos;
    const size_t len = static_cast<size_t>(e);
    if (ranges_.size() <= len) ranges_.resize(len + 1);
    if (e == firstLength_) {
      // The first length tried on a path: narrowed from the whole array.
      RestIndex::Range r = rest_index_->all();
      for (size_t k = 0; k < len; ++k) r = rest_index_->narrow(r, k, w[k]);
      ranges_[len] = r;
    } else {
      // Every shorter candidate on this path down to the first length passed just before.
      ranges_[len] = rest_index_->narrow(ranges_[len - 1], len - 1, w[len - 1]);
    }
    rest_index_->sequences(ranges_[len], present_);
    const PassResult rest =
        replay_pass(static_cast<uint64_t>(rest_), present_, count + rest_ - ms_.Minocc + 1);
    tested(rest.calls);
    if (!rest.pass) return false;
    count += static_cast<int64_t>(present_.size());
    return true;
  }

  // The plain search: match against every sequence until the count can no longer pass.
  bool count_plain(const MotifTree::Node& y, int64_t e, int64_t& count) {
    pattern_.assign(1, '*');
    pattern_.append(sa_.text(), y.pos, static_cast<size_t>(e));
    pattern_.push_back('*');
    bool pass = true;
    uint64_t calls = 0;
    for (int64_t j = 0; j < sam_ && pass; ++j) {
      ++calls;
      if (match(pattern_, P_[static_cast<size_t>(j)]) <= ms_.Dist) ++count;
      if (count + sam_ - j <= ms_.Minsam) pass = false;
    }
    for (int64_t k = 0; k < rest_ && pass; ++k) {
      ++calls;
      if (match(pattern_, D_[static_cast<size_t>(k)]) <= ms_.Dist) ++count;
      if (count + rest_ - k <= ms_.Minocc) pass = false;
    }
    tested(calls);
    return pass;
  }

  void found(int64_t count, uint64_t pos, int64_t e) {
    const Index s = sa_.sequence_of(static_cast<Index>(pos));
    ms_.MLst.push_back(
        {s, pos - sa_.start_of(s), static_cast<uint64_t>(e), static_cast<uint64_t>(count)});
    ++ms_.Ct;
    if (observer_)
      observer_->found(ms_, std::string_view(sa_.text()).substr(pos, static_cast<size_t>(e)));
  }

  MotifSearch& ms_;
  const SuffixArray<Index>& sa_;
  SequenceViews P_;
  SequenceViews D_;
  MotifObserver* observer_;
  const int64_t sam_, rest_;
  const bool fast_;
  const int64_t firstLength_;
  std::unique_ptr<RestIndex> rest_index_;
  std::vector<RestIndex::Range> ranges_;  // by candidate length, along the current path
  std::vector<uint64_t> present_;
  std::string pattern_;
};
}  // namespace

void one_ptn(MotifSearch& ms, const MotifIndex& index, SequenceViews rest,
             MotifObserver* observer) {
  const MotifIndex::Arrays& a = *index.arrays_;
  if (a.narrow)
    Walk<uint32_t>(ms, *a.narrow, index.sample(), rest, observer).run();
  else
    Walk<uint64_t>(ms, *a.wide, index.sample(), rest, observer).run();
}

std::unique_ptr<MotifIndex> find_motifs(MotifSearch& ms, SequenceViews sequences,
                                        MotifObserver* observer, unsigned sortDepth) {
  if (ms.Dist == 0 && sortDepth > 0) {
    auto index =
        std::make_unique<MotifIndex>(sequences, observer, MotifIndex::Width::Fit, sortDepth);
    try {
      one_ptn(ms, *index, {}, observer);
      return index;
    } catch (const MotifIndex::TooShallow&) {
      // The motifs reach deeper: the index sorted in full (this one is freed first).
    }
  }
  auto index = std::make_unique<MotifIndex>(sequences, observer);
  one_ptn(ms, *index, {}, observer);
  return index;
}
