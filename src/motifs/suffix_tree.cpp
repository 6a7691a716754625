// Building the generalized suffix tree by plain insertion of every suffix.
#include "motifs/suffix_tree.h"

#include <new>
#include <utility>

namespace {
int letter(char c) { return c >= 'A' && c <= 'Z' ? c - 'A' : -1; }
}  // namespace

SuffixTree::SuffixTree(std::vector<std::string_view> P) : P_(std::move(P)) {
  text_.reserve(P_.size());
  for (std::string_view s : P_) text_.push_back(s.data());
}

uint32_t SuffixTree::newnode() {
  if (nodes_.size() >= kNoNode) throw std::bad_alloc();
  nodes_.push_back(SuffixNode{kNoNode, kNoNode, 0, 0, 0, '\0', kPlain, kNoNode});
  return static_cast<uint32_t>(nodes_.size() - 1);
}

void SuffixTree::make_root() {
  Root = newnode();
  nodes_[Root] = SuffixNode{kNoNode, kNoNode, 0, 1, 0, '\0', kPlain, kNoNode};
}

bool SuffixTree::ends_suffix(uint32_t id) const {
  if (id == Root) return false;
  const SuffixNode& n = nodes_[id];
  return n.end == static_cast<int>(P_[static_cast<size_t>(index_of(n))].size()) - 1;
}

void SuffixTree::insert_all(int sam, const ProgressFn& progress) {
  // One or two nodes per suffix: reserving the bound keeps building free of reallocations.
  size_t suffixes = 0;
  for (int s = 0; s < sam; ++s) suffixes += P_[static_cast<size_t>(s)].size();
  nodes_.reserve(nodes_.size() + 2 * suffixes);
  for (C_seq = 0; C_seq < sam; ++C_seq) {
    if (progress) progress(static_cast<uint64_t>(C_seq), static_cast<uint64_t>(sam));
    Lst = static_cast<int>(P_[static_cast<size_t>(C_seq)].size()) - 1;
    for (int pos = 0; pos <= Lst; ++pos) insert(Root, pos);
  }
}

SuffixTree::Fan* SuffixTree::fan_of(uint32_t node) {
  return nodes_[node].kind == kFan ? &fans_[nodes_[node].aux] : nullptr;
}

uint32_t SuffixTree::foot_of_chain(uint32_t node) {
  uint32_t y = nodes_[node].aux;
  while (nodes_[y].kind == kSkip) y = nodes_[y].aux;
  nodes_[node].aux = y;
  return y;
}

void SuffixTree::make_fan(uint32_t node) {
  Fan f;
  for (uint32_t& s : f.slot) s = kNoNode;
  for (uint32_t x = nodes_[node].child;; x = nodes_[x].right) {
    const int l = letter(nodes_[x].first);
    if (l >= 0 && nodes_[x].end >= nodes_[x].start) f.slot[l] = x;
    f.last = x;
    if (nodes_[x].seq < 0) break;
  }
  nodes_[node].kind = kFan;
  nodes_[node].aux = static_cast<uint32_t>(fans_.size());
  fans_.push_back(f);
}

SuffixTree::ScanEnd SuffixTree::scan(uint32_t node, char c, uint32_t& at) {
  if (Fan* f = fan_of(node)) {
    const int l = letter(c);
    if (l >= 0 && f->slot[l] != kNoNode) {
      at = f->slot[l];
      return ScanEnd::Match;
    }
    if (l < 0) {
      // Bytes other than letters are rare: they are looked for along the list.
      for (uint32_t x = nodes_[node].child; nodes_[x].seq >= 0; x = nodes_[x].right)
        if (nodes_[x].first == c && nodes_[x].end >= nodes_[x].start) {
          at = x;
          return ScanEnd::Match;
        }
    }
    at = f->last;
    const SuffixNode& last = nodes_[at];
    if (last.end < last.start) return ScanEnd::Empty;
    if (last.first == c) return ScanEnd::Match;
    return ScanEnd::End;
  }
  int children = 0;
  for (uint32_t x = nodes_[node].child;; x = nodes_[x].right) {
    ++children;
    const SuffixNode& n = nodes_[x];
    at = x;
    if (n.end < n.start) return ScanEnd::Empty;
    if (n.first == c) return ScanEnd::Match;
    if (n.seq < 0) break;
  }
  // `at` is the last child; tell append_leaf how long the list was through the fan rule.
  if (children + 1 >= kFanFrom) pendingFan_ = node;
  return ScanEnd::End;
}

void SuffixTree::append_leaf(uint32_t node, uint32_t last, int pos) {
  const uint32_t leaf = newnode();
  nodes_[leaf] = SuffixNode{kNoNode, node, static_cast<int16_t>(C_seq - kSeqOffset),
                            static_cast<int16_t>(pos), static_cast<int16_t>(Lst),
                            text_[static_cast<size_t>(C_seq)][pos], kPlain, kNoNode};
  nodes_[last].seq = static_cast<int16_t>(nodes_[last].seq + kSeqOffset);
  nodes_[last].right = leaf;
  if (Fan* f = fan_of(node)) {
    const int l = letter(nodes_[leaf].first);
    if (l >= 0 && pos <= Lst) f->slot[l] = leaf;
    f->last = leaf;
  } else if (pendingFan_ == node) {
    make_fan(node);
  }
  pendingFan_ = kNoNode;
}

void SuffixTree::insert(uint32_t node, int pos) {
  const char* s = text_[static_cast<size_t>(C_seq)];
  for (;;) {
    // Entering each empty label of the chain in turn ends at its foot, with pos unchanged.
    if (nodes_[node].kind == kSkip) node = foot_of_chain(node);
    if (nodes_[node].child == kNoNode) {
      const uint32_t leaf = newnode();
      nodes_[leaf] = SuffixNode{kNoNode, node, static_cast<int16_t>(C_seq - kSeqOffset),
                                static_cast<int16_t>(pos), static_cast<int16_t>(Lst), s[pos],
                                kPlain, kNoNode};
      nodes_[node].child = leaf;
      if (pos > Lst) {
        nodes_[node].kind = kSkip;
        nodes_[node].aux = leaf;
      }
      return;
    }
    uint32_t cur;
    switch (scan(node, s[pos], cur)) {
      case ScanEnd::Empty:
        node = cur;  // an empty label is entered by every scan that reaches it
        continue;
      case ScanEnd::End:
        append_leaf(node, cur, pos);
        return;
      case ScanEnd::Match:
        break;
    }
    const SuffixNode c = nodes_[cur];
    const int idx = index_of(c);
    const int a = c.start;
    const int len = c.end - a + 1;
    const char* t = text_[static_cast<size_t>(idx)] + a;
    const char* u = s + pos;
    // The first bytes are equal; the suffix's terminator differs from every label character,
    // so the comparison stops there at the latest.
    int i = 1;
    while (i < len && t[i] == u[i]) ++i;
    if (i == len) {
      node = cur;
      pos += len;
      continue;
    }
    // Split after the first i characters: lower takes the rest of the label and the children
    // (and the fan, which indexes them), leaf the rest of the suffix.
    const uint32_t lower = newnode();
    const uint32_t leaf = newnode();
    nodes_[lower] = SuffixNode{c.child, leaf, static_cast<int16_t>(idx),
                               static_cast<int16_t>(a + i), c.end, t[i], c.kind, c.aux};
    nodes_[leaf] = SuffixNode{kNoNode, cur, static_cast<int16_t>(C_seq - kSeqOffset),
                              static_cast<int16_t>(pos + i), static_cast<int16_t>(Lst), u[i], kPlain, kNoNode};
    nodes_[cur].end = static_cast<int16_t>(a + i - 1);
    nodes_[cur].child = lower;
    nodes_[cur].kind = kPlain;
    nodes_[cur].aux = kNoNode;
    uint32_t x = c.child;
    if (x != kNoNode) {
      while (nodes_[x].seq >= 0) x = nodes_[x].right;
      nodes_[x].right = lower;
    }
    return;
  }
}
