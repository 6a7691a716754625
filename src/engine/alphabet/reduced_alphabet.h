// Reduced amino-acid alphabets: residues put into groups, each group written as one letter of
// its own (its first as listed), so that an engine run on mapped texts finds words over the
// groups. A mapped word is shown as the pattern it matches: each group of several letters in
// brackets, its letters in the order listed ("[LVIM]C[ST]"); a letter in no group, or alone in
// its group, stands for itself.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ReducedAlphabet {
 public:
  // No groups: every letter stands for itself.
  ReducedAlphabet();

  // Reads an alphabet: a name, or groups as comma-separated letter sets ("LVIM,ST,FYW", lower
  // case raised). Returns an empty text and sets `out`, or says what is wrong with the text (a
  // letter in two groups, an empty group, a byte that is not a letter), in words that follow it:
  // "puts V in two groups".
  static std::string read(std::string_view text, ReducedAlphabet& out);

  // Whether any letter stands for a group (false for the alphabet without groups).
  bool reduces() const { return !groups_.empty(); }
  // The alphabet as read: its name, or its groups in upper case; empty without groups.
  const std::string& text() const { return text_; }

  // The letter that stands for the group of `c`; any other byte as it is.
  char map(char c) const { return map_[static_cast<unsigned char>(c)]; }
  // `text` mapped into `buffer`, which is reused (no allocation once it is large enough).
  std::string_view map(std::string_view text, std::string& buffer) const;

  // The pattern a text matches once mapped (texts of letters: with groups, a bracket in a text
  // would not read back).
  std::string pattern(std::string_view text) const;
  // The mapped text of a pattern into `mapped`: returns an empty text, or what in the pattern
  // does not fit the alphabet ("V stands outside its group [LVIM]").
  std::string read_pattern(std::string_view pattern, std::string& mapped) const;

 private:
  std::string text_;
  std::vector<std::string> groups_;  // upper case, as listed
  std::array<char, 256> map_;
  std::array<uint8_t, 256> groupOf_{};  // per letter listed, its group's number + 1; else 0

  // The group that a letter of a pattern must stand in brackets for, or null.
  const std::string* bracketed(unsigned char c) const;
};
