// The index of the sample, the sample threshold, the index of the rest and the walk.
#include "engine/motifs/motif_search.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

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

MotifIndex::MotifIndex(SequenceViews sample, const ProgressFn& progress, Width width,
                       unsigned sortDepth)
    : arrays_(std::make_unique<Arrays>()) {
  constexpr std::string_view kStep = "building the motif index", kUnit = "sequences";
  if (progress) progress({kStep, 0, sample.size(), kUnit, 0});
  if (width == Width::Fit && joined_size(sample) <= SuffixArray<uint32_t>::capacity()) {
    arrays_->narrow = std::make_unique<SuffixArray<uint32_t>>(sample, true, progress, sortDepth);
    sample_ = views_of_joined(*arrays_->narrow);
  } else {
    arrays_->wide = std::make_unique<SuffixArray<uint64_t>>(sample, true, progress, sortDepth);
    sample_ = views_of_joined(*arrays_->wide);
  }
  if (progress) progress({kStep, sample.size(), sample.size(), kUnit, 0});
}

MotifIndex::~MotifIndex() = default;

bool MotifIndex::wide() const { return arrays_->wide != nullptr; }

uint64_t min_sampled_sequences(uint64_t total, uint64_t sampled, uint64_t minAll) {
  constexpr double z = 2.58;
  const double tot = static_cast<double>(total), sam = static_cast<double>(sampled);
  uint64_t m = 1;
  while (m <= sampled) {
    const double f = static_cast<double>(m) / sam;
    const double u = z * std::sqrt((tot - sam) / (tot - 1.0));
    const double se = std::sqrt((1 - f) * f / tot);
    const double c = 0.5 / sam + u * se + f;
    // With a total of 1 the first root is 0/0: the comparison is false every time.
    if (tot * c >= static_cast<double>(minAll)) break;
    ++m;
  }
  return m;
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
  Walk(const MotifSettings& settings, const SuffixArray<Index>& sa, SequenceViews P,
       SequenceViews D, MotifListener* listener, const ProgressFn& progress)
      : s_(settings),
        sa_(sa),
        P_(P),
        D_(D),
        listener_(listener),
        progress_(progress),
        fast_(settings.distance == 0),
        firstLength_(std::max<uint64_t>(settings.minLength, 1)) {}

  MotifResult run() {
    // With distance 0 a candidate that the index's count fails cannot pass: only the strings
    // that enough sampled sequences contain become nodes. Otherwise every string may pass.
    const TreeRules rules{fast_ ? s_.minSequences : 0, s_.minLength, P_.size(), s_.minSequences,
                          fast_ && listener_ && listener_->hears_tests()};
    // An index sorted only to a depth serves when the tree is pruned by the counts, the shortest
    // candidate is shallower, and no node of the tree reaches that depth.
    const uint64_t sorted = sa_.sorted_depth();
    if (sorted != UINT64_MAX && (rules.keepFrom <= 1 || s_.minLength >= sorted))
      throw MotifIndex::TooShallow{};
    const MotifTree tree = build_motif_tree(sa_, rules);
    // A node as deep as the sorting may be deeper, and its children are not known.
    for (const MotifTree::Node& node : tree.nodes)
      if (node.depth >= sorted) throw MotifIndex::TooShallow{};
    if (fast_ && !D_.empty()) rest_index_ = std::make_unique<RestIndex>(D_);
    if (!fast_ && progress_) count_candidates(tree);

    struct Step {
      uint64_t node;
      uint64_t next;  // the next child to visit
    };
    std::vector<Step> path{{tree.root, tree.nodes[tree.root].kidsBegin}};
    while (!path.empty() && result_.stopped == MotifStop::None) {
      Step& top = path.back();
      const MotifTree::Node& x = tree.nodes[top.node];
      if (top.next == x.kidsEnd) {
        path.pop_back();
        continue;
      }
      const MotifTree::Kid kid = tree.kids[top.next++];
      if (kid.node == MotifTree::kRun) {
        // Failing children: each is tried at its first length that is long enough.
        if (std::max(x.depth + 1, s_.minLength) <= s_.maxLength) {
          result_.checked += kid.st;
          tested(kid.calls);
        }
        continue;
      }
      const MotifTree::Node& y = tree.nodes[kid.node];
      if (edge(y, x.depth, kid.node) && y.kidsBegin != y.kidsEnd) {
        path.push_back({kid.node, y.kidsBegin});
        result_.deepestPath = std::max(result_.deepestPath, path.size() - 1);
      }
    }
    return std::move(result_);
  }

 private:
  void tested(uint64_t calls) {
    if (listener_ && calls > 0) listener_->tested(calls);
  }

  // The candidates of lengths parent + 1 to depth that the settings let the walk try.
  uint64_t candidates(uint64_t parent, uint64_t depth) const {
    const uint64_t first = std::max(parent + 1, s_.minLength);
    const uint64_t last = std::min(depth, s_.maxLength);
    return last >= first ? last - first + 1 : 0;
  }

  // Per node, the candidates below it (its children's edges and everything under them), and
  // their total under the root: what the plain search's progress counts against.
  void count_candidates(const MotifTree& tree) {
    below_.assign(tree.nodes.size(), 0);
    // Every node comes after its descendants.
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
      const MotifTree::Node& x = tree.nodes[i];
      uint64_t sum = 0;
      for (uint64_t k = x.kidsBegin; k < x.kidsEnd; ++k) {
        const MotifTree::Kid& kid = tree.kids[k];
        if (kid.node == MotifTree::kRun)
          sum += std::max(x.depth + 1, s_.minLength) <= s_.maxLength ? kid.st : 0;
        else
          sum += candidates(x.depth, tree.nodes[kid.node].depth) + below_[kid.node];
      }
      below_[i] = sum;
    }
    total_ = below_[tree.root];
  }

  // Tries the candidates of lengths parent + 1 to y.depth, which all begin the same suffixes;
  // false when the walk leaves y there (a candidate failed or is too long, or a bound of the
  // settings is passed).
  bool edge(const MotifTree::Node& y, uint64_t parent, uint64_t node) {
    for (uint64_t e = std::max(parent + 1, s_.minLength); e <= y.depth; ++e) {
      if (e > s_.maxLength) return false;
      ++result_.checked;
      const std::optional<uint64_t> count = fast_ ? count_fast(y, e) : count_plain(y, e);
      if (count) found(*count, y.pos, e);
      if (!below_.empty()) {
        // The longer candidates of the edge and those below y are never tried.
        if (!count) skipped_ += candidates(e, y.depth) + below_[node];
        progress_({"searching for motifs", result_.checked + skipped_, total_, "candidates",
                   result_.motifs.size()});
      }
      if (!count || result_.stopped != MotifStop::None) return false;
    }
    return true;
  }

  // The tests of the plain search, replayed from the exact occurrence sets: the sample's from
  // the node (it is a node only if it passes), the rest's from its suffix array. The count of
  // sequences that contain the candidate, none when it fails.
  std::optional<uint64_t> count_fast(const MotifTree::Node& y, uint64_t e) {
    tested(P_.size());
    if (D_.empty()) return y.count;
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
    const PassResult rest = replay_pass(D_.size(), present_, y.count, s_.minAllSequences);
    tested(rest.calls);
    if (!rest.pass) return std::nullopt;
    return y.count + present_.size();
  }

  // The plain search: match against every sequence until the count can no longer pass.
  std::optional<uint64_t> count_plain(const MotifTree::Node& y, uint64_t e) {
    pattern_.assign(1, '*');
    pattern_.append(sa_.text(), y.pos, static_cast<size_t>(e));
    pattern_.push_back('*');
    uint64_t count = 0, calls = 0;
    bool pass = true;
    // Each set in turn while the count can still exceed its threshold.
    auto pass_over = [&](SequenceViews seqs, uint64_t threshold) {
      for (size_t j = 0; j < seqs.size() && pass; ++j) {
        ++calls;
        if (static_cast<uint64_t>(match(pattern_, seqs[j])) <= s_.distance) ++count;
        if (count + seqs.size() - j <= threshold) pass = false;
      }
    };
    pass_over(P_, s_.minSequences);
    pass_over(D_, s_.minAllSequences);
    tested(calls);
    if (!pass) return std::nullopt;
    return count;
  }

  void found(uint64_t count, uint64_t pos, uint64_t e) {
    const Index s = sa_.sequence_of(static_cast<Index>(pos));
    result_.motifs.push_back({s, pos - sa_.start_of(s), e, count});
    const uint64_t number = result_.motifs.size();
    // Its line: the text, a tab, the count's digits, the line end.
    uint64_t digits = 1;
    for (uint64_t c = count; c >= 10; c /= 10) ++digits;
    result_.bytes += e + digits + 2;
    if (number > s_.maxMotifs)
      result_.stopped = MotifStop::Motifs;
    else if (result_.bytes > s_.maxBytes)
      result_.stopped = MotifStop::Bytes;
    if (listener_)
      listener_->found(result_.motifs.back(),
                       std::string_view(sa_.text()).substr(pos, static_cast<size_t>(e)), number);
    if (progress_ && below_.empty())
      progress_({"searching for motifs", result_.checked, 0, "candidates checked", number});
  }

  const MotifSettings& s_;
  const SuffixArray<Index>& sa_;
  SequenceViews P_;
  SequenceViews D_;
  MotifListener* listener_;
  const ProgressFn& progress_;
  const bool fast_;
  const uint64_t firstLength_;
  MotifResult result_;
  std::unique_ptr<RestIndex> rest_index_;
  std::vector<RestIndex::Range> ranges_;  // by candidate length, along the current path
  std::vector<uint64_t> present_;
  std::string pattern_;
  // The plain search's progress: candidates below each node, their total, and those left
  // untried below failing ones.
  std::vector<uint64_t> below_;
  uint64_t total_ = 0;
  uint64_t skipped_ = 0;
};
}  // namespace

MotifResult search_motifs(std::shared_ptr<const MotifIndex> index, SequenceViews rest,
                          const MotifSettings& settings, MotifListener* listener,
                          const ProgressFn& progress) {
  const MotifIndex::Arrays& a = *index->arrays_;
  MotifResult result =
      a.narrow
          ? Walk<uint32_t>(settings, *a.narrow, index->sample(), rest, listener, progress).run()
          : Walk<uint64_t>(settings, *a.wide, index->sample(), rest, listener, progress).run();
  result.index = std::move(index);
  return result;
}

MotifResult find_motifs(SequenceViews sequences, const MotifSettings& settings,
                        const ProgressFn& progress, MotifListener* listener, unsigned sortDepth) {
  if (settings.distance == 0 && sortDepth > 0) {
    try {
      return search_motifs(std::make_shared<const MotifIndex>(sequences, progress,
                                                              MotifIndex::Width::Fit, sortDepth),
                           {}, settings, listener, progress);
    } catch (const MotifIndex::TooShallow&) {
      // The motifs reach deeper: the index sorted in full (this one is freed first).
    }
  }
  return search_motifs(std::make_shared<const MotifIndex>(sequences, progress), {}, settings,
                       listener, progress);
}
