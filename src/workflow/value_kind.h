// What the feature cells of a table hold: 0/1 presence, occurrence counts, or tf-idf weights.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ValueKind : uint8_t { Binary, Count, Tfidf };

// The kinds' names, in the order of ValueKind: binary, count, tfidf.
inline const std::vector<std::string>& value_kind_names() {
  static const std::vector<std::string> names = {"binary", "count", "tfidf"};
  return names;
}

inline std::optional<ValueKind> value_kind_named(std::string_view name) {
  const std::vector<std::string>& names = value_kind_names();
  for (size_t k = 0; k < names.size(); ++k)
    if (names[k] == name) return static_cast<ValueKind>(k);
  return std::nullopt;
}
