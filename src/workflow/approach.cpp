// The approach table.
#include "workflow/approach.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "engine/substitution/matrices.h"
#include "workflow/mine.h"
#include "workflow/option_values.h"

namespace {
constexpr int64_t kMaxInt = std::numeric_limits<int64_t>::max();
constexpr double kMaxReal = std::numeric_limits<double>::max();

// The option kinds: a real number in a range, a whole number in a range, a matrix name.
// A range of real numbers, given to the parser by reference (not every compiler takes a
// floating-point template argument).
struct RealRange {
  double min, max;
};
constexpr RealRange kShare{0.0, 1.0};
constexpr RealRange kNotNegative{0.0, kMaxReal};

template <double MineSettings::*Field, const RealRange& Range>
std::string parse_real(MineSettings& s, std::string_view v) {
  return read_real(v, Range.min, Range.max, s.*Field);
}
template <double MineSettings::*Field>
std::string show_real(const MineSettings& s) {
  return plain_number(s.*Field);
}

template <auto Field, int64_t Min, int64_t Max>
std::string parse_integer(MineSettings& s, std::string_view v) {
  int64_t value = 0;
  std::string problem = read_integer(v, Min, Max, value);
  if (problem.empty()) s.*Field = static_cast<std::remove_reference_t<decltype(s.*Field)>>(value);
  return problem;
}
template <auto Field>
std::string show_integer(const MineSettings& s) {
  return std::to_string(s.*Field);
}

// An option whose value is a whole number from Min to Max.
template <auto Field, int64_t Min, int64_t Max = kMaxInt>
constexpr ApproachOption integer_option(std::string_view flag, std::string_view setting,
                                        std::string_view value, std::string_view help) {
  return {flag, setting, value, help, parse_integer<Field, Min, Max>, show_integer<Field>};
}

std::string parse_matrix(MineSettings& s, std::string_view v) {
  return read_choice(v, kMatrixNames, s.matrix);
}
std::string show_matrix(const MineSettings& s) { return s.matrix; }

constexpr ApproachOption kAlpha{"--alpha",
                                "alpha",
                                "A",
                                "a descriptor occurs in at least the share A of one class (0 to 1)",
                                parse_real<&MineSettings::alpha, kShare>,
                                show_real<&MineSettings::alpha>,
                                true};
constexpr ApproachOption kBeta{"--beta",
                               "beta",
                               "B",
                               "and in at most the share B of the other sequences (0 to 1)",
                               parse_real<&MineSettings::beta, kShare>,
                               show_real<&MineSettings::beta>,
                               true};
constexpr ApproachOption kMatrix{
    "--matrix",   "matrix",
    "M",          "BLOSUM45, BLOSUM62, BLOSUM80, PAM30, PAM70 or PAM250 (default BLOSUM62)",
    parse_matrix, show_matrix};
constexpr ApproachOption kSimilarity{
    "--similarity",
    "similarity",
    "S",
    "a descriptor this similar to an earlier one of its length is pruned (default 0.5)",
    parse_real<&MineSettings::similarity, kNotNegative>,
    show_real<&MineSettings::similarity>};
// -n N, or a range of lengths N-M.
constexpr int64_t kLongestNgram = int64_t{1} << 20;
std::string parse_lengths(MineSettings& s, std::string_view v) {
  const size_t dash = v.find('-', 1);
  int64_t low = 0, high = 0;
  std::string problem = read_integer(v.substr(0, dash), 1, kLongestNgram, low);
  if (problem.empty() && dash != std::string_view::npos)
    problem = read_integer(v.substr(dash + 1), low, kLongestNgram, high);
  if (!problem.empty()) return problem;
  s.n = static_cast<int>(low);
  s.nMax = static_cast<int>(dash == std::string_view::npos ? low : high);
  return {};
}
std::string show_lengths(const MineSettings& s) {
  return s.n == s.nMax ? std::to_string(s.n) : std::to_string(s.n) + "-" + std::to_string(s.nMax);
}
constexpr ApproachOption kN{"-n",
                            "n",
                            "N",
                            "length of the n-grams, or a range of lengths N-M, shortest first "
                            "(default 3)",
                            parse_lengths,
                            show_lengths};
constexpr ApproachOption kMinLength = integer_option<&MineSettings::minLength, 1>(
    "--min-length", "min-length", "L", "shortest motif (default 3)");
// 0, the default, is recorded as such in a features file read without the setting.
constexpr ApproachOption kMinSequences = integer_option<&MineSettings::minSequences, 0>(
    "--min-sequences", "min-sequences", "M",
    "sequences that must contain a motif (default 0: a quarter of them, at least 1)");
constexpr ApproachOption kDistance = integer_option<&MineSettings::distance, 0>(
    "--distance", "distance", "D",
    "edit distance within which a motif occurs (default 0; above 0 is slow); below "
    "--min-length, since a motif of length D or less occurs within D in every sequence");
constexpr ApproachOption kMaxLength = integer_option<&MineSettings::maxLength, 0>(
    "--max-length", "max-length", "L", "longest motif (default 0: no limit)");
constexpr ApproachOption kMaxFeatures = integer_option<&MineSettings::maxFeatures, 1>(
    "--max-features", "max-features", "N",
    "mining stops with an error past N motifs, or past 100 bytes a motif of features file "
    "(default 10000000: 1 GB)");

// Not given, the alphabet has no groups and records nothing: files mined without one stay as
// they were.
std::string parse_alphabet(MineSettings& s, std::string_view v) {
  const std::string problem = ReducedAlphabet::read(v, s.alphabet);
  return problem.empty() ? problem : ": \"" + std::string(v) + "\" " + problem;
}
std::string show_alphabet(const MineSettings& s) { return s.alphabet.text(); }
constexpr ApproachOption kAlphabet{
    "--alphabet",
    "alphabet",
    "NAME|GROUPS",
    "residues are mapped to groups before mining, and encode maps every sequence the same way: "
    "murphy15, murphy10, murphy8, murphy4, murphy2, dayhoff6, or comma-separated groups such as "
    "LVIM,ST,FYW (letters in no group stay as they are); each feature is written as the pattern "
    "it matches, [LVIM]C[ST]; ddsm's matrix compares each group as its first letter",
    parse_alphabet,
    show_alphabet};

constexpr const ApproachOption* kDdOptions[] = {&kAlphabet, &kAlpha, &kBeta};
constexpr const ApproachOption* kDdsmOptions[] = {&kAlphabet, &kAlpha, &kBeta, &kMatrix,
                                                  &kSimilarity};
constexpr const ApproachOption* kNgOptions[] = {&kAlphabet, &kN};
constexpr const ApproachOption* kMaOptions[] = {&kAlphabet,     &kMinLength, &kMaxLength,
                                                &kMinSequences, &kDistance,  &kMaxFeatures};

constexpr FeatureColumn kDdColumns[] = {FeatureColumn::Families, FeatureColumn::Support,
                                        FeatureColumn::Sequences};
constexpr FeatureColumn kDdsmColumns[] = {FeatureColumn::Family, FeatureColumn::Support,
                                          FeatureColumn::Probability, FeatureColumn::Sequences};
constexpr FeatureColumn kCountColumns[] = {FeatureColumn::Sequences};

int64_t as_substrings(const MineSettings&) { return 0; }
int64_t within_distance(const MineSettings& s) { return s.distance; }

std::string no_check(const MineSettings&, bool) { return {}; }

std::string check_ma(const MineSettings& s, bool flags) {
  auto named = [&](const ApproachOption& o, int64_t v) {
    return std::string(flags ? o.flag : o.setting) + " " + std::to_string(v);
  };
  // The framed motif matches anywhere once its residues may all be deleted.
  if (s.distance > 0 && s.distance >= s.minLength)
    return named(kDistance, s.distance) + " is not below " + named(kMinLength, s.minLength) +
           ": a motif of length " + std::to_string(s.distance) +
           " or less occurs within that distance in every sequence";
  if (s.maxLength > 0 && s.maxLength < s.minLength)
    return named(kMaxLength, s.maxLength) + " is below " + named(kMinLength, s.minLength);
  return {};
}

constexpr std::array<ApproachInfo, kApproachCount> kTable = {{
    {Approach::Dd, "dd", true, true, kDdOptions, kDdColumns, miners::dd, as_substrings, no_check},
    {Approach::Ddsm, "ddsm", true, true, kDdsmOptions, kDdsmColumns, miners::ddsm, as_substrings,
     no_check},
    {Approach::Ng, "ng", false, false, kNgOptions, kCountColumns, miners::ng, as_substrings,
     no_check},
    {Approach::Ma, "ma", false, false, kMaOptions, kCountColumns, miners::ma, within_distance,
     check_ma},
}};

// Each entry stands at the place of its approach, so that every approach has its own.
constexpr bool table_in_order() {
  for (size_t i = 0; i < kTable.size(); ++i)
    if (static_cast<size_t>(kTable[i].approach) != i) return false;
  return true;
}
static_assert(table_in_order(), "one entry per approach, in the order of Approach");
}  // namespace

std::string_view column_name(FeatureColumn column) {
  switch (column) {
    case FeatureColumn::Families: return "families";
    case FeatureColumn::Family: return "family";
    case FeatureColumn::Support: return "support";
    case FeatureColumn::Probability: return "mutation_probability";
    case FeatureColumn::Sequences: return "sequences";
  }
  return {};
}

const ApproachInfo& approach_info(Approach a) { return kTable[static_cast<size_t>(a)]; }

const std::array<ApproachInfo, kApproachCount>& approaches() { return kTable; }

std::optional<Approach> approach_named(std::string_view name) {
  for (const ApproachInfo& a : kTable)
    if (a.name == name) return a.approach;
  return std::nullopt;
}

std::string approach_list() {
  std::string list;
  for (size_t i = 0; i < kTable.size(); ++i) {
    if (i > 0) list += i + 1 == kTable.size() ? " or " : ", ";
    list += kTable[i].name;
  }
  return list;
}

std::vector<const ApproachOption*> all_approach_options() {
  std::vector<const ApproachOption*> all;
  for (const ApproachInfo& a : kTable)
    for (const ApproachOption* o : a.options)
      if (std::find(all.begin(), all.end(), o) == all.end()) all.push_back(o);
  return all;
}

bool approach_has(Approach a, const ApproachOption* option) {
  const auto& options = approach_info(a).options;
  return std::find(options.begin(), options.end(), option) != options.end();
}

const ApproachOption* approach_setting(Approach a, std::string_view setting) {
  for (const ApproachOption* o : approach_info(a).options)
    if (o->setting == setting) return o;
  return nullptr;
}

MineSettings resolved(const MineSettings& s, size_t sequences) {
  MineSettings r = s;
  if (r.minSequences <= 0)
    r.minSequences = std::max<int64_t>(1, static_cast<int64_t>(sequences / 4));
  return r;
}

std::vector<std::pair<std::string, std::string>> settings_lines(const MineSettings& s) {
  std::vector<std::pair<std::string, std::string>> lines;
  for (const ApproachOption* o : approach_info(s.approach).options)
    if (std::string value = o->show(s); !value.empty())
      lines.emplace_back(std::string(o->setting), std::move(value));
  return lines;
}
