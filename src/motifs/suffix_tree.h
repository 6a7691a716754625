// The generalized suffix tree of the sampled sequences P[0..Sam-1]: plain insertion of every
// suffix from the root, no suffix links, no end markers. Nodes live in one array and link by
// index; a node holds its first child, its next sibling (or, for the last child of a list, its
// parent), the sequence of its edge label and the label's two positions (20 bytes a node).
//
// Insertion scans child lists as the old program did, but a node that gathers many children
// also gets a fan (letter -> child, and its last child), and every node keeps the first byte of
// its label: the scan then finds the same child without walking the list or reading text.
// A node whose only child has an empty label keeps that list for ever (the scan enters the
// empty child whatever comes next, so nothing is appended beside it), and copies of a sequence
// stack such nodes into long chains: such a node skips to the foot of its chain.
//
// The sign of `seq` is the only mark of the last child: a last child stores its sequence index
// minus kSeqOffset and its `right` is the parent. Labels are P[idx][start..end]; an empty label
// has end = start - 1 and is entered by every scan that reaches it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/progress_fn.h"

inline constexpr uint32_t kNoNode = UINT32_MAX;
inline constexpr int kSeqOffset = 4000;  // the capacity of P

struct SuffixNode {
  uint32_t child;
  uint32_t right;
  int16_t seq;
  int16_t start;
  int16_t end;
  char first;    // first byte of the label; '\0' for an empty label
  uint8_t kind;  // what aux holds: kPlain (nothing), kFan, kSkip
  uint32_t aux;  // kFan: the node's fan; kSkip: a node further down its chain of empty labels
};
inline constexpr uint8_t kPlain = 0, kFan = 1, kSkip = 2;

class SuffixTree {
 public:
  // The tree reads the sequences in place; they must outlive it and stay unchanged, and each must
  // be followed by a NUL byte (a std::string's terminator).
  explicit SuffixTree(std::vector<std::string_view> P);

  // A new node with every field to be set by the caller. Exhausted memory (or more nodes than
  // an index can address) throws std::bad_alloc.
  uint32_t newnode();
  // Creates the root (child none, right none, seq 0, start 1, end 0).
  void make_root();
  // Inserts every suffix of P[0..sam-1], longest first, sequence after sequence. Reserves the
  // largest node count the insertions can need first, so building never reallocates.
  void insert_all(int sam, const ProgressFn& progress = {});
  // Inserts the suffix of P[C_seq] that begins at pos below node (C_seq and Lst set).
  void insert(uint32_t node, int pos);

  // The sequence index of a node's label.
  static int index_of(const SuffixNode& n) { return n.seq < 0 ? n.seq + kSeqOffset : n.seq; }
  static bool is_last(const SuffixNode& n) { return n.seq < 0; }
  // True when the node ends a suffix of its sequence (every insertion leaves exactly one such
  // node; splits hand the mark down to the lower half). The root is none.
  bool ends_suffix(uint32_t id) const;

  const SuffixNode& operator[](uint32_t id) const { return nodes_[id]; }
  uint32_t size() const { return static_cast<uint32_t>(nodes_.size()); }
  uint32_t Root = kNoNode;
  int C_seq = 0;
  int Lst = -1;

 private:
  struct Fan {
    uint32_t slot[26];  // the child whose label begins with 'A' + i, or kNoNode
    uint32_t last;      // the last child of the list
  };
  static constexpr int kFanFrom = 6;  // children that earn a node its fan

  // Where the scan of node's child list for byte c ends: at the child whose non-empty label
  // begins with c, at an empty-label child (entered whatever c is), or after the last child.
  enum class ScanEnd { Match, Empty, End };
  ScanEnd scan(uint32_t node, char c, uint32_t& at);
  void append_leaf(uint32_t node, uint32_t last, int pos);
  void make_fan(uint32_t node);
  Fan* fan_of(uint32_t node);
  uint32_t foot_of_chain(uint32_t node);

  const std::vector<std::string_view> P_;
  std::vector<const char*> text_;  // P[i].data(), read for every comparison
  std::vector<SuffixNode> nodes_;
  std::vector<Fan> fans_;
  uint32_t pendingFan_ = kNoNode;  // a node whose list is long enough for a fan
};
