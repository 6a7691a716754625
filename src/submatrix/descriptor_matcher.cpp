#include "submatrix/descriptor_matcher.h"

#include <deque>

DescriptorMatcher::DescriptorMatcher(const std::vector<std::string>& texts) : count_(texts.size()) {
  auto new_node = [this](unsigned char c) {
    firstChild_.push_back(-1);
    nextSibling_.push_back(-1);
    fail_.push_back(0);
    outLink_.push_back(0);
    firstText_.push_back(-1);
    stamp_.push_back(-1);
    label_.push_back(c);
    return static_cast<int>(label_.size() - 1);
  };
  new_node(0);
  nextText_.assign(texts.size(), -1);
  for (size_t k = 0; k < texts.size(); ++k) {
    if (texts[k].empty()) {
      emptyTexts_.push_back(static_cast<int>(k));
      continue;
    }
    int node = 0;
    for (char ch : texts[k]) {
      const auto c = static_cast<unsigned char>(ch);
      int next = child(node, c);
      if (next < 0) {
        next = new_node(c);
        nextSibling_[static_cast<size_t>(next)] = firstChild_[static_cast<size_t>(node)];
        firstChild_[static_cast<size_t>(node)] = next;
      }
      node = next;
    }
    nextText_[k] = firstText_[static_cast<size_t>(node)];
    firstText_[static_cast<size_t>(node)] = static_cast<int>(k);
  }
  // Breadth first: the failure link of a node is the longest proper suffix of its path that is a
  // path of the trie; its output link the nearest node on the failure chain where a text ends.
  std::deque<int> queue;
  for (int c = firstChild_[0]; c >= 0; c = nextSibling_[static_cast<size_t>(c)]) queue.push_back(c);
  while (!queue.empty()) {
    const int u = queue.front();
    queue.pop_front();
    for (int v = firstChild_[static_cast<size_t>(u)]; v >= 0; v = nextSibling_[static_cast<size_t>(v)]) {
      const unsigned char c = label_[static_cast<size_t>(v)];
      int g = 0;  // the children of the root fail to the root
      if (u != 0) {
        int f = fail_[static_cast<size_t>(u)];
        while ((g = child(f, c)) < 0 && f != 0) f = fail_[static_cast<size_t>(f)];
        if (g < 0) g = 0;
      }
      fail_[static_cast<size_t>(v)] = g;
      outLink_[static_cast<size_t>(v)] =
          firstText_[static_cast<size_t>(g)] >= 0 ? g : outLink_[static_cast<size_t>(g)];
      queue.push_back(v);
    }
  }
}

int DescriptorMatcher::child(int node, unsigned char c) const {
  for (int v = firstChild_[static_cast<size_t>(node)]; v >= 0; v = nextSibling_[static_cast<size_t>(v)])
    if (label_[static_cast<size_t>(v)] == c) return v;
  return -1;
}

void DescriptorMatcher::find(std::string_view sequence, std::vector<uint8_t>& present) {
  present.assign(count_, 0);
  for (int k : emptyTexts_) present[static_cast<size_t>(k)] = 1;
  ++round_;
  int state = 0;
  for (char ch : sequence) {
    const auto c = static_cast<unsigned char>(ch);
    int next;
    while ((next = child(state, c)) < 0 && state != 0) state = fail_[static_cast<size_t>(state)];
    state = next < 0 ? 0 : next;
    // Every node on the output chain of a node already seen in this sequence was reported then.
    int u = firstText_[static_cast<size_t>(state)] >= 0 ? state : outLink_[static_cast<size_t>(state)];
    while (u != 0 && stamp_[static_cast<size_t>(u)] != round_) {
      stamp_[static_cast<size_t>(u)] = round_;
      for (int k = firstText_[static_cast<size_t>(u)]; k >= 0; k = nextText_[static_cast<size_t>(k)])
        present[static_cast<size_t>(k)] = 1;
      u = outLink_[static_cast<size_t>(u)];
    }
  }
}
