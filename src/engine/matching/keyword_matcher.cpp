// The keyword automaton: a trie of the texts, completed into a dense transition table by the
// failure links, so that each byte of a sequence costs one table look-up.
#include "engine/matching/keyword_matcher.h"

#include <algorithm>
#include <bit>

KeywordMatcher::KeywordMatcher(const std::vector<std::string>& texts) {
  const std::vector<std::string_view> views(texts.begin(), texts.end());
  build(views);
}

KeywordMatcher::KeywordMatcher(std::span<const std::string_view> texts) { build(texts); }

void KeywordMatcher::build(std::span<const std::string_view> texts) {
  count_ = texts.size();
  for (std::string_view t : texts)
    for (char ch : t) {
      uint32_t& c = code_[static_cast<unsigned char>(ch)];
      if (c == 0) c = width_++;
    }
  const size_t w = width_;
  auto new_state = [&] {
    next_.resize(next_.size() + w, 0);
    firstText_.push_back(-1);
    return static_cast<uint32_t>(firstText_.size() - 1);
  };
  new_state();
  nextText_.assign(texts.size(), -1);
  textState_.assign(texts.size(), 0);
  // The trie: while it is built, 0 means "no child" (the root is nobody's child).
  for (size_t k = 0; k < texts.size(); ++k) {
    if (texts[k].empty()) {
      emptyTexts_.push_back(static_cast<uint32_t>(k));
      continue;
    }
    uint32_t s = 0;
    for (char ch : texts[k]) {
      const size_t slot = s * w + code_[static_cast<unsigned char>(ch)];
      if (next_[slot] == 0) {
        const uint32_t n = new_state();
        next_[slot] = n;
      }
      s = next_[slot];
    }
    nextText_[k] = firstText_[s];
    firstText_[s] = static_cast<int32_t>(k);
    textState_[k] = s;
  }
  // Breadth first: a state's failure link is the longest proper suffix of its path that is a
  // path of the trie, and its missing transitions are those of its failure link.
  const size_t states = firstText_.size();
  std::vector<uint32_t> fail(states, 0), queue;
  outLink_.assign(states, 0);
  report_.assign(states, 0);
  queue.reserve(states);
  queue.push_back(0);
  for (size_t qi = 0; qi < queue.size(); ++qi) {
    const uint32_t u = queue[qi];
    for (size_t c = 1; c < w; ++c) {
      uint32_t& v = next_[u * w + c];
      const uint32_t viaFail = u == 0 ? 0 : next_[fail[u] * w + c];
      // A child of u is a state created after u; anything else is already a completed move.
      if (v != 0 && v > u) {
        fail[v] = viaFail;
        outLink_[v] = firstText_[viaFail] >= 0 ? viaFail : outLink_[viaFail];
        report_[v] = firstText_[v] >= 0 ? v : outLink_[v];
        queue.push_back(v);
      } else {
        v = viaFail;
      }
    }
  }
}

void KeywordMatcher::find(std::string_view sequence, std::vector<uint8_t>& present) {
  std::vector<uint32_t> found;
  find_all(sequence, found, own_);
  present.assign(count_, 0);
  for (uint32_t k : found) present[k] = 1;
}

void KeywordMatcher::find_all(std::string_view sequence, std::vector<uint32_t>& found,
                              Scratch& scratch) const {
  scan<false>(sequence, found, scratch);
}

void KeywordMatcher::count_all(std::string_view sequence, std::vector<uint32_t>& found,
                               std::vector<uint64_t>& counts, Scratch& scratch) const {
  scan<true>(sequence, found, scratch);
  counts.resize(found.size());
  const uint64_t* hits = scratch.hits_.data();
  for (size_t i = 0; i < found.size(); ++i) {
    const uint32_t s = textState_[found[i]];
    counts[i] = s == 0 ? sequence.size() + 1 : hits[s];
  }
}

template <bool Count>
void KeywordMatcher::scan(std::string_view sequence, std::vector<uint32_t>& found,
                          Scratch& scratch) const {
  found.assign(emptyTexts_.begin(), emptyTexts_.end());
  if (scratch.stamp_.size() != firstText_.size()) {
    scratch.stamp_.assign(firstText_.size(), 0);
    scratch.round_ = 0;
  }
  if (++scratch.round_ == 0) {  // the rounds wrapped: stamps of 4 billion searches ago
    std::fill(scratch.stamp_.begin(), scratch.stamp_.end(), 0);
    scratch.round_ = 1;
  }
  if (Count && scratch.hits_.size() != firstText_.size())
    scratch.hits_.assign(firstText_.size(), 0);
  const uint32_t round = scratch.round_;
  uint32_t* stamp = scratch.stamp_.data();
  uint64_t* hits = scratch.hits_.data();
  const uint32_t* next = next_.data();
  const uint32_t* report = report_.data();
  const size_t w = width_;
  uint32_t s = 0;
  for (char ch : sequence) {
    s = next[s * w + code_[static_cast<unsigned char>(ch)]];
    // Every state on the output chain of a state already reported in this sequence was
    // reported then: presence stops there, counting goes on up the chain (each state on it is
    // a text ending at this position).
    for (uint32_t u = report[s]; u != 0; u = outLink_[u]) {
      if (stamp[u] != round) {
        stamp[u] = round;
        if (Count) hits[u] = 0;
        for (int32_t k = firstText_[u]; k >= 0; k = nextText_[static_cast<size_t>(k)])
          found.push_back(static_cast<uint32_t>(k));
      } else if (!Count) {
        break;
      }
      if (Count) ++hits[u];
    }
  }
  // Many texts found: ordered through a bit per text, cheaper than a sort when they are a fair
  // share of all texts (n-grams of a long sequence).
  const size_t words = (count_ + 63) / 64;
  if (found.size() < 64 || found.size() * 16 < words) {
    std::sort(found.begin(), found.end());
    return;
  }
  std::vector<uint64_t>& bits = scratch.bits_;
  if (bits.size() != words) bits.assign(words, 0);
  for (uint32_t k : found) bits[k >> 6] |= uint64_t{1} << (k & 63);
  found.clear();
  for (size_t w = 0; w < words; ++w) {
    for (uint64_t b = bits[w]; b != 0; b &= b - 1)
      found.push_back(static_cast<uint32_t>(w * 64 + static_cast<size_t>(std::countr_zero(b))));
    bits[w] = 0;
  }
}
