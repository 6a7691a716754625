// Reduced alphabets: reading their names and groups, mapping texts, and patterns.
#include "engine/alphabet/reduced_alphabet.h"

#include <utility>

#include "core/run_exit.h"

namespace {
struct NamedAlphabet {
  std::string_view name, groups;
};
constexpr NamedAlphabet kNamed[] = {
    {"murphy15", "LVIM,C,A,G,S,T,P,FY,W,E,D,N,Q,KR,H"},
    {"murphy10", "LVIM,C,A,G,ST,P,FYW,EDNQ,KR,H"},
    {"murphy8", "LVIMC,AG,ST,P,FYW,EDNQ,KR,H"},
    {"murphy4", "LVIMC,AGSTP,FYW,EDNQKRH"},
    {"murphy2", "LVIMCAGSTPFYW,EDNQKRH"},
    {"dayhoff6", "AGPST,C,DENQ,FWY,HKR,ILMV"},
};

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

ReducedAlphabet::ReducedAlphabet() {
  for (size_t b = 0; b < map_.size(); ++b) map_[b] = static_cast<char>(b);
}

std::string ReducedAlphabet::read(std::string_view text, ReducedAlphabet& out) {
  const NamedAlphabet* named = nullptr;
  for (const NamedAlphabet& a : kNamed)
    if (a.name == text) named = &a;
  const std::string_view groups = named ? named->groups : text;
  ReducedAlphabet r;
  r.groups_.emplace_back();
  for (const char given : groups) {
    const char c = upper(given);
    if (c == ',') {
      if (r.groups_.back().empty()) return "has an empty group";
      r.groups_.emplace_back();
      continue;
    }
    if (c < 'A' || c > 'Z') {
      std::string list;
      for (const NamedAlphabet& a : kNamed)
        list += (list.empty() ? "" : ", ") + std::string(a.name);
      return "is neither an alphabet (" + list + ") nor groups of letters such as LVIM,ST,FYW: '" +
             diagnostic_text(std::string_view(&given, 1)) + "' is not a letter";
    }
    const auto b = static_cast<unsigned char>(c);
    if (r.groupOf_[b] != 0) {
      const bool same = r.groupOf_[b] == r.groups_.size();
      return (same ? "lists " : "puts ") + std::string(1, c) + (same ? " twice" : " in two groups");
    }
    std::string& group = r.groups_.back();
    group += c;
    r.groupOf_[b] = static_cast<uint8_t>(r.groups_.size());
    r.map_[b] = group[0];
  }
  if (r.groups_.back().empty()) return "has an empty group";
  r.text_ = text;
  if (!named)
    for (char& c : r.text_) c = upper(c);
  out = std::move(r);
  return {};
}

std::string_view ReducedAlphabet::map(std::string_view text, std::string& buffer) const {
  buffer.resize(text.size());
  for (size_t i = 0; i < text.size(); ++i) buffer[i] = map(text[i]);
  return buffer;
}

const std::string* ReducedAlphabet::bracketed(unsigned char c) const {
  if (groupOf_[c] == 0) return nullptr;
  const std::string& group = groups_[groupOf_[c] - 1u];
  return group.size() > 1 ? &group : nullptr;
}

std::string ReducedAlphabet::pattern(std::string_view text) const {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (const std::string* group = bracketed(static_cast<unsigned char>(c)))
      out += "[" + *group + "]";
    else
      out += c;
  }
  return out;
}

std::string ReducedAlphabet::read_pattern(std::string_view pattern, std::string& mapped) const {
  mapped.clear();
  if (!reduces()) {
    mapped = pattern;
    return {};
  }
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == ']') return "closes a bracket it did not open";
    if (c != '[') {
      if (const std::string* group = bracketed(static_cast<unsigned char>(c)))
        return std::string(1, c) + " stands outside its group [" + *group + "]";
      mapped += c;
      continue;
    }
    const size_t close = pattern.find(']', i + 1);
    if (close == std::string_view::npos) return "opens a bracket it does not close";
    const std::string_view inner = pattern.substr(i + 1, close - i - 1);
    const std::string* group =
        inner.empty() ? nullptr : bracketed(static_cast<unsigned char>(inner[0]));
    if (group == nullptr || *group != inner)
      return "[" + std::string(inner) + "] is not a group of several letters of the alphabet";
    mapped += (*group)[0];
    i = close;
  }
  return {};
}
