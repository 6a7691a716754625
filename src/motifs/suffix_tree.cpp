// Building the generalized suffix tree by plain insertion of every suffix.
#include "motifs/suffix_tree.h"

#include <new>

SuffixTree::SuffixTree(const std::vector<std::string>& P) : P_(P) {
  text_.reserve(P.size());
  for (const std::string& s : P) text_.push_back(s.data());
}

uint32_t SuffixTree::newnode() {
  if (nodes_.size() >= kNoNode) throw std::bad_alloc();
  nodes_.push_back(SuffixNode{kNoNode, kNoNode, 0, 0, 0});
  return static_cast<uint32_t>(nodes_.size() - 1);
}

void SuffixTree::make_root() {
  Root = newnode();
  nodes_[Root] = SuffixNode{kNoNode, kNoNode, 0, 1, 0};
}

bool SuffixTree::ends_suffix(uint32_t id) const {
  if (id == Root) return false;
  const SuffixNode& n = nodes_[id];
  return n.end == static_cast<int>(P_[static_cast<size_t>(index_of(n))].size()) - 1;
}

void SuffixTree::insert_all(int sam) {
  // One or two nodes per suffix: reserving the bound keeps building free of reallocations.
  size_t suffixes = 0;
  for (int s = 0; s < sam; ++s) suffixes += P_[static_cast<size_t>(s)].size();
  nodes_.reserve(nodes_.size() + 2 * suffixes);
  for (C_seq = 0; C_seq < sam; ++C_seq) {
    Lst = static_cast<int>(P_[static_cast<size_t>(C_seq)].size()) - 1;
    for (int pos = 0; pos <= Lst; ++pos) insert(Root, pos);
  }
}

void SuffixTree::insert(uint32_t node, int pos) {
  const char* s = text_[static_cast<size_t>(C_seq)];
  const int16_t lastSeq = static_cast<int16_t>(C_seq - kSeqOffset);
  for (;;) {
    uint32_t cur = nodes_[node].child;
    if (cur == kNoNode) {
      uint32_t leaf = newnode();
      nodes_[leaf] = SuffixNode{kNoNode, node, lastSeq, static_cast<int16_t>(pos),
                                static_cast<int16_t>(Lst)};
      nodes_[node].child = leaf;
      return;
    }
    for (;;) {
      const SuffixNode c = nodes_[cur];
      const int idx = index_of(c);
      const int a = c.start;
      const int len = c.end - a + 1;
      const char* t = text_[static_cast<size_t>(idx)] + a;
      const char* u = s + pos;
      // The suffix's terminator differs from every label character, so the scan stops there.
      int i = 0;
      while (i < len && t[i] == u[i]) ++i;
      if (i == len) {  // the whole label (or an empty one): descend
        node = cur;
        pos += len;
        break;
      }
      if (i == 0) {
        if (c.seq >= 0) {
          cur = c.right;
          continue;
        }
        uint32_t leaf = newnode();
        nodes_[leaf] = SuffixNode{kNoNode, node, lastSeq, static_cast<int16_t>(pos),
                                  static_cast<int16_t>(Lst)};
        nodes_[cur].seq = static_cast<int16_t>(nodes_[cur].seq + kSeqOffset);
        nodes_[cur].right = leaf;
        return;
      }
      // Split after the first i characters: lower takes the rest of the label and the
      // children, leaf the rest of the suffix.
      uint32_t lower = newnode();
      uint32_t leaf = newnode();
      nodes_[lower] = SuffixNode{c.child, leaf, static_cast<int16_t>(idx),
                                 static_cast<int16_t>(a + i), c.end};
      nodes_[leaf] = SuffixNode{kNoNode, cur, lastSeq, static_cast<int16_t>(pos + i),
                                static_cast<int16_t>(Lst)};
      nodes_[cur].end = static_cast<int16_t>(a + i - 1);
      nodes_[cur].child = lower;
      uint32_t x = c.child;
      if (x != kNoNode) {
        while (nodes_[x].seq >= 0) x = nodes_[x].right;
        nodes_[x].right = lower;
      }
      return;
    }
  }
}
