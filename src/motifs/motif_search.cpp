// The sample threshold and the walk of the motif search.
#include "motifs/motif_search.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "motifs/occurrence_test.h"
#include "motifs/suffix_tree.h"

MotifIndex::MotifIndex(SequenceViews sample, MotifObserver* observer)
    : texts_(sample.begin(), sample.end()), sample_(texts_.begin(), texts_.end()),
      tree_(std::make_unique<SuffixTree>(sample_)) {
  tree_->make_root();
  tree_->insert_all(static_cast<int>(sample_.size()), [this, observer](uint64_t done, uint64_t total) {
    if (observer) observer->building(done, total, tree_->size());
  });
}

MotifIndex::~MotifIndex() = default;

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
// The stack of edge lengths along the current path. It grows as needed: a path can hold more
// nodes with children than the 5999 entries of the old fixed table.
class LengthStack {
 public:
  int64_t push(int64_t value) {
    items_.push_back(value);
    return value;
  }
  int64_t pop() {
    int64_t v = items_.back();
    items_.pop_back();
    return v;
  }
  size_t size() const { return items_.size(); }

 private:
  std::vector<int64_t> items_;
};

// What the walk needs to know of each subtree, from one depth-first pass: the number of
// distinct sequences whose suffixes end in it (the sampled sequences containing any candidate
// spelled on the node's edge), and its span in preorder, where the sequences of the suffix
// ends are listed, so that a subtree's sequences are read from one stretch of memory.
// Each suffix end adds one at its node and takes one away at the deepest common ancestor with
// the previous end of the same sequence in preorder; subtree sums then count each sequence once.
struct SubtreeTable {
  std::vector<int32_t> distinct;  // by node
  std::vector<uint32_t> first;    // by node: preorder number
  std::vector<uint32_t> past;     // by node: preorder number past its subtree
  std::vector<int16_t> endSeq;    // by preorder number: sequence of the suffix end, or -1

  SubtreeTable(const SuffixTree& tree, int sam)
      : distinct(tree.size(), 0), first(tree.size()), past(tree.size()), endSeq(tree.size(), -1) {
    std::vector<int64_t> last(static_cast<size_t>(sam), -1);
    std::vector<uint32_t> pathNode, pathTin;
    uint32_t timer = 0;
    auto enter = [&](uint32_t v) {
      const uint32_t tin = timer++;
      first[v] = tin;
      pathNode.push_back(v);
      pathTin.push_back(tin);
      if (!tree.ends_suffix(v)) return;
      const int s = SuffixTree::index_of(tree[v]);
      endSeq[tin] = static_cast<int16_t>(s);
      distinct[v] += 1;
      if (last[static_cast<size_t>(s)] >= 0) {
        auto it = std::upper_bound(pathTin.begin(), pathTin.end(),
                                   static_cast<uint32_t>(last[static_cast<size_t>(s)]));
        distinct[pathNode[static_cast<size_t>(it - pathTin.begin() - 1)]] -= 1;
      }
      last[static_cast<size_t>(s)] = tin;
    };
    auto leave = [&](uint32_t v) {
      past[v] = timer;
      pathNode.pop_back();
      pathTin.pop_back();
      if (!pathNode.empty()) distinct[pathNode.back()] += distinct[v];
    };
    uint32_t v = tree.Root;
    enter(v);
    for (;;) {
      if (tree[v].child != kNoNode) {
        v = tree[v].child;
        enter(v);
        continue;
      }
      for (;;) {
        leave(v);
        if (v == tree.Root) return;
        const bool last_child = SuffixTree::is_last(tree[v]);
        v = tree[v].right;
        if (!last_child) {
          enter(v);
          break;
        }
      }
    }
  }

  // The sorted distinct sequences whose suffixes end in the subtree of v (v included).
  void sequences_below(uint32_t v, std::vector<uint32_t>& out) const {
    out.clear();
    for (uint32_t t = first[v]; t < past[v]; ++t)
      if (endSeq[t] >= 0) out.push_back(static_cast<uint32_t>(endSeq[t]));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
  }
};

// The position of the t-th (t >= 1) ordinal missing from the sorted distinct `present`.
uint64_t tth_miss(const std::vector<uint32_t>& present, uint64_t t) {
  uint64_t x = t - 1;
  for (uint32_t p : present) {
    if (p > x) break;
    ++x;
  }
  return x;
}

// One pass of the plain search over n sequences, tested in order, failing as soon as the
// misses reach t (the count could no longer reach its threshold): the tests it makes and
// whether the candidate survives. `present` lists the sequences that contain the candidate.
struct PassResult {
  bool pass;
  uint64_t calls;
};
PassResult replay_pass(uint64_t n, const std::vector<uint32_t>& present, int64_t t) {
  if (n == 0) return {true, 0};
  if (t <= 0) return {false, 1};
  if (n - present.size() >= static_cast<uint64_t>(t))
    return {false, tth_miss(present, static_cast<uint64_t>(t)) + 1};
  return {true, n};
}

// The occurrences of 3-letter words in the sequences left out of the sample, so that a
// candidate's occurrences there are found by narrowing, not by scanning every sequence.
struct Occ {
  uint32_t k;
  uint16_t pos;
};
class RestIndex {
 public:
  explicit RestIndex(SequenceViews D) {
    for (uint32_t k = 0; k < D.size(); ++k) {
      const std::string_view s = D[k];
      for (size_t p = 0; p + 2 < s.size(); ++p)
        entries_.push_back({key(s.data() + p), k, static_cast<uint16_t>(p)});
    }
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.gram < b.gram; });
  }
  // The occurrences of the word w[0..2], by sequence then position.
  void lookup(const char* w, std::vector<Occ>& out) const {
    out.clear();
    const uint32_t g = key(w);
    auto lo = std::lower_bound(entries_.begin(), entries_.end(), g,
                               [](const Entry& e, uint32_t v) { return e.gram < v; });
    for (; lo != entries_.end() && lo->gram == g; ++lo) out.push_back({lo->k, lo->pos});
  }

 private:
  struct Entry {
    uint32_t gram;
    uint32_t k;
    uint16_t pos;
  };
  static uint32_t key(const char* w) {
    return static_cast<uint32_t>(static_cast<unsigned char>(w[0])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(w[1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(w[2]));
  }
  std::vector<Entry> entries_;
};

class Walk {
 public:
  Walk(MotifSearch& ms, const MotifIndex& index, SequenceViews D, MotifObserver* observer)
      : ms_(ms), tree_(index.tree()), P_(index.sample()), D_(D), observer_(observer),
        sam_(static_cast<int64_t>(P_.size())), rest_(static_cast<int64_t>(D.size())),
        fast_(ms.Dist == 0 && ms.Minlgh == 3) {
    size_t longest = 0;
    for (std::string_view s : P_) longest = std::max(longest, s.size());
    B_.assign(longest + 3, '\0');
    B_[0] = '*';
    if (fast_) {
      subtrees_ = std::make_unique<SubtreeTable>(tree_, static_cast<int>(sam_));
      if (rest_ > 0) {
        restIndex_ = std::make_unique<RestIndex>(D);
        restOcc_.resize(longest + 3);
      }
    }
  }

  void run() {
    int64_t depth = 1;
    uint32_t node = tree_.Root;
    LengthStack S1;
    while (node != kNoNode) {
      const SuffixNode n = tree_[node];
      const int idx = SuffixTree::index_of(n);
      // An empty label (the root's among them, even when there is no sequence) reads no text.
      const char* text = n.start <= n.end ? P_[static_cast<size_t>(idx)].data() : nullptr;
      bool climb = false;
      for (int i = n.start; i <= n.end; ++i) {
        const int64_t e = depth + (i - n.start);
        B_[static_cast<size_t>(e)] = text[i];
        B_[static_cast<size_t>(e) + 1] = '*';
        B_[static_cast<size_t>(e) + 2] = '\0';
        if (e < ms_.Minlgh) continue;
        if (e > ms_.Maxlgh) {
          climb = true;
          break;
        }
        ++ms_.St;
        int64_t count = 0;
        if (!(fast_ ? count_fast(node, e, count) : count_plain(e, count))) {
          climb = true;
          break;
        }
        found(count, idx, i, e);
      }
      if (!climb && n.child != kNoNode) {
        depth += S1.push(n.end - n.start + 1);
        ms_.deepestPath = std::max(ms_.deepestPath, S1.size());
        node = n.child;
        continue;
      }
      while (SuffixTree::is_last(tree_[node])) {
        depth -= S1.pop();
        node = tree_[node].right;
      }
      node = tree_[node].right;
    }
  }

 private:
  void tested(uint64_t calls) {
    if (observer_ && calls > 0) observer_->tested(calls);
  }

  // The tests of the plain search, replayed from the exact occurrence sets.
  bool count_fast(uint32_t node, int64_t e, int64_t& count) {
    const int32_t c = subtrees_->distinct[node];
    PassResult sample;
    if (c >= ms_.Minsam) {
      sample = {true, static_cast<uint64_t>(sam_)};
    } else {
      subtrees_->sequences_below(node, present_);
      sample = replay_pass(static_cast<uint64_t>(sam_), present_, sam_ - ms_.Minsam + 1);
    }
    tested(sample.calls);
    if (!sample.pass) return false;
    count = c;
    if (rest_ == 0) return true;

    std::vector<Occ>& occ = restOcc_[static_cast<size_t>(e)];
    if (e == 3) {
      restIndex_->lookup(B_.data() + 1, occ);
    } else {
      // The prefix of length e - 1 passed just before on this path, so its list is current.
      const std::vector<Occ>& prev = restOcc_[static_cast<size_t>(e) - 1];
      const char want = B_[static_cast<size_t>(e)];
      occ.clear();
      for (const Occ& o : prev)
        if (D_[o.k][static_cast<size_t>(o.pos) + static_cast<size_t>(e) - 1] == want)
          occ.push_back(o);
    }
    present_.clear();
    for (const Occ& o : occ)
      if (present_.empty() || present_.back() != o.k) present_.push_back(o.k);
    const PassResult rest =
        replay_pass(static_cast<uint64_t>(rest_), present_, count + rest_ - ms_.Minocc + 1);
    tested(rest.calls);
    if (!rest.pass) return false;
    count += static_cast<int64_t>(present_.size());
    return true;
  }

  // The plain search: match against every sequence until the count can no longer pass.
  bool count_plain(int64_t e, int64_t& count) {
    const std::string_view pattern(B_.data(), static_cast<size_t>(e) + 2);
    bool pass = true;
    uint64_t calls = 0;
    for (int64_t j = 0; j < sam_ && pass; ++j) {
      ++calls;
      if (match(pattern, P_[static_cast<size_t>(j)]) <= ms_.Dist) ++count;
      if (count + sam_ - j <= ms_.Minsam) pass = false;
    }
    for (int64_t k = 0; k < rest_ && pass; ++k) {
      ++calls;
      if (match(pattern, D_[static_cast<size_t>(k)]) <= ms_.Dist) ++count;
      if (count + rest_ - k <= ms_.Minocc) pass = false;
    }
    tested(calls);
    return pass;
  }

  void found(int64_t count, int idx, int i, int64_t e) {
    ms_.MLst.push_back({static_cast<uint32_t>(idx), static_cast<uint32_t>(i - e + 1),
                        static_cast<uint32_t>(e), static_cast<uint64_t>(count)});
    ++ms_.Ct;
    if (observer_) observer_->found(ms_, std::string_view(B_.data() + 1, static_cast<size_t>(e)));
  }

  MotifSearch& ms_;
  const SuffixTree& tree_;
  SequenceViews P_;
  SequenceViews D_;
  MotifObserver* observer_;
  const int64_t sam_, rest_;
  const bool fast_;
  std::string B_;
  std::unique_ptr<SubtreeTable> subtrees_;
  std::unique_ptr<RestIndex> restIndex_;
  std::vector<std::vector<Occ>> restOcc_;
  std::vector<uint32_t> present_;
};
}  // namespace

void one_ptn(MotifSearch& ms, const MotifIndex& index, SequenceViews rest, MotifObserver* observer) {
  if (index.tree().Root == kNoNode) return;
  Walk(ms, index, rest, observer).run();
}
