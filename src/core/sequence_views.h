// Sequences as the engines take them: views of texts owned elsewhere, in order.
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

using SequenceViews = std::span<const std::string_view>;

// Views of every text of `texts`, in order; they live as long as `texts` is unchanged.
inline std::vector<std::string_view> views_of(const std::vector<std::string>& texts) {
  return {texts.begin(), texts.end()};
}
