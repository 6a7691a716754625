// The bottom-up pass over the intervals of the suffix array that builds the walk's tree.
#include "engine/motifs/motif_tree.h"

#include <algorithm>

namespace {
// The position of the t-th (t >= 1) ordinal missing from the sorted distinct `present`.
uint64_t tth_miss(const std::vector<uint64_t>& present, uint64_t t) {
  uint64_t x = t - 1;
  for (uint64_t p : present) {
    if (p > x) break;
    ++x;
  }
  return x;
}

// An interval still open: its string length, its first rank, where its children begin among the
// pending ones, the corrections of the sequence count inside it, its first text position.
struct Frame {
  uint64_t depth;
  uint64_t lb;
  uint64_t kidsBegin;
  uint64_t corr;
  uint64_t minpos;
};

// A closed interval waiting for its parent to close: a node; a failing interval given by its
// ranks [a, b] (its tests are counted only if the parent is reached); or a run already counted
// (a = candidates, b = tests).
enum class Kind : uint8_t { Node, Range, Run };
struct Pending {
  uint64_t minpos;
  uint64_t a;
  uint64_t b;
  uint64_t node;
  Kind kind;
};

template <class Index>
class TreePass {
 public:
  TreePass(const SuffixArray<Index>& sa, const TreeRules& rules) : sa_(sa), rules_(rules) {}

  MotifTree run() {
    const uint64_t n = sa_.size();
    frames_.push_back({0, 0, 0, 0, UINT64_MAX});
    // The rank of the last suffix of each sequence met so far (n: none yet).
    std::vector<Index> last(sa_.sequences(), static_cast<Index>(n));
    // Ranks between asking the memory for what a rank leads to and reading it: the block of its
    // sequence first, then its prefix length and its sequence's start, then its sequence's last
    // rank (each step needs the one before).
    constexpr uint64_t kBlockAhead = 48, kAhead = 32, kLastAhead = 16;
    for (uint64_t i = 0; i < n; ++i) {
      if (i + kBlockAhead < n) sa_.prefetch_block(static_cast<Index>(i + kBlockAhead));
      if (i + kAhead < n) {
        sa_.prefetch_lcp(static_cast<Index>(i + kAhead));
        sa_.prefetch_start(static_cast<Index>(i + kAhead));
      }
      if (i + kLastAhead < n)
        __builtin_prefetch(&last[sa_.sequence_at(static_cast<Index>(i + kLastAhead))], 1);
      const Index p = sa_.at(static_cast<Index>(i));
      close(sa_.lcp(static_cast<Index>(i)), i);
      const Index s = sa_.sequence_at(static_cast<Index>(i));
      // Its string, as deep as the array is sorted.
      const uint64_t len = std::min<uint64_t>(sa_.end_of(s) - p, sa_.sorted_depth());
      if (len == 0) continue;  // a separator: no string begins there
      if (last[s] != n) {
        // The frames hold every interval around ranks i - 1 and i, their first ranks ascending:
        // the deepest that begins at or before the sequence's last rank holds both.
        auto it = std::upper_bound(frames_.begin(), frames_.end(), static_cast<uint64_t>(last[s]),
                                   [](uint64_t v, const Frame& f) { return v < f.lb; });
        (it - 1)->corr += 1;
      }
      last[s] = static_cast<Index>(i);
      Frame& top = frames_.back();
      if (len > top.depth)
        frames_.push_back({len, i, pending_.size(), 0, p});
      else
        top.minpos = std::min<uint64_t>(top.minpos, p);  // the suffix ends with the top's string
    }
    close(0, n);
    const Frame root = frames_.back();
    tree_.root = make_node(root, 0);
    return std::move(tree_);
  }

 private:
  // Closes the intervals deeper than h, the common prefix of ranks i - 1 and i.
  void close(uint64_t h, uint64_t i) {
    while (frames_.back().depth > h) {
      const Frame f = frames_.back();
      frames_.pop_back();
      finish(f, i - 1);
      Frame& parent = frames_.back();
      if (parent.depth >= h) {
        parent.corr += f.corr;
        parent.minpos = std::min(parent.minpos, f.minpos);
      } else {
        // The interval of depth h begins with this one.
        frames_.push_back({h, f.lb, f.kidsBegin, f.corr, f.minpos});
      }
    }
  }

  // Replaces the children of f among the pending ones by f's own entry.
  void finish(const Frame& f, uint64_t rb) {
    const uint64_t count = rb - f.lb + 1 - f.corr;
    if (count >= rules_.keepFrom) {
      const uint64_t id = make_node(f, count);
      pending_.push_back({f.minpos, 0, 0, id, Kind::Node});
      return;
    }
    if (f.depth >= rules_.minLength) {
      // Nothing below a failing candidate is tried.
      pending_.resize(f.kidsBegin);
      pending_.push_back({f.minpos, f.lb, rb, 0, Kind::Range});
      return;
    }
    // Shorter than a candidate: each child is tried at the shortest length, and fails.
    uint64_t st = 0, calls = 0;
    for (size_t k = f.kidsBegin; k < pending_.size(); ++k) {
      const auto [s, c] = tests_of(pending_[k]);
      st += s;
      calls += c;
    }
    pending_.resize(f.kidsBegin);
    if (st > 0 || calls > 0) pending_.push_back({f.minpos, st, calls, 0, Kind::Run});
  }

  uint64_t make_node(const Frame& f, uint64_t count) {
    order_.assign(pending_.begin() + static_cast<std::ptrdiff_t>(f.kidsBegin), pending_.end());
    pending_.resize(f.kidsBegin);
    std::sort(order_.begin(), order_.end(),
              [](const Pending& a, const Pending& b) { return a.minpos < b.minpos; });
    const uint64_t begin = tree_.kids.size();
    for (const Pending& k : order_) {
      if (k.kind == Kind::Node) {
        tree_.kids.push_back({k.node, 0, 0});
        continue;
      }
      const auto [st, calls] = tests_of(k);
      if (tree_.kids.size() > begin && tree_.kids.back().node == MotifTree::kRun) {
        tree_.kids.back().st += st;
        tree_.kids.back().calls += calls;
      } else {
        tree_.kids.push_back({MotifTree::kRun, st, calls});
      }
    }
    tree_.nodes.push_back({f.depth, f.minpos, count, begin, tree_.kids.size()});
    return tree_.nodes.size() - 1;
  }

  // The candidates and the plain search's tests of a failing child once its parent is reached.
  std::pair<uint64_t, uint64_t> tests_of(const Pending& k) {
    if (k.kind == Kind::Run) return {k.a, k.b};
    if (!rules_.countTests) return {1, 0};
    present_.clear();
    for (uint64_t x = k.a; x <= k.b; ++x)
      present_.push_back(sa_.sequence_at(static_cast<Index>(x)));
    std::sort(present_.begin(), present_.end());
    present_.erase(std::unique(present_.begin(), present_.end()), present_.end());
    return {1, replay_pass(rules_.sampled, present_, 0, rules_.minSampled).calls};
  }

  const SuffixArray<Index>& sa_;
  const TreeRules rules_;
  MotifTree tree_;
  std::vector<Frame> frames_;
  std::vector<Pending> pending_;
  std::vector<Pending> order_;
  std::vector<uint64_t> present_;
};
}  // namespace

PassResult replay_pass(uint64_t n, const std::vector<uint64_t>& present, uint64_t have,
                       uint64_t threshold) {
  if (n == 0) return {true, 0};
  // After a test the count is have + tests - misses, the tests still to come n - tests: the
  // pass fails at the test that brings the misses to t.
  if (threshold > have + n) return {false, 1};
  const uint64_t t = have + n - threshold + 1;
  if (n - present.size() >= t) return {false, tth_miss(present, t) + 1};
  return {true, n};
}

template <class Index>
MotifTree build_motif_tree(const SuffixArray<Index>& sa, const TreeRules& rules) {
  return TreePass<Index>(sa, rules).run();
}

template MotifTree build_motif_tree(const SuffixArray<uint32_t>&, const TreeRules&);
template MotifTree build_motif_tree(const SuffixArray<uint64_t>&, const TreeRules&);
