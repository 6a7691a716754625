// The sequence-file reader family: one reading procedure, four members that differ in their
// messages, counters, capacities and copies.
#include "console/sequence_reader.h"

#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "console/capacity.h"
#include "console/limits.h"
#include "console/strdp.h"
#include "core/progress.h"
#include "core/run_exit.h"

namespace {
constexpr const char* kTooMany = "\tErr: Too many sequences\n";
constexpr const char* kNonLetter = "\tErr input\n";
constexpr const char* kNonLetterTest = "\tErr input : Get test Data\n";
constexpr const char* kTooLong = "\tErr: Too long\n";
constexpr const char* kReading = "reading sequences: %d of %d";
constexpr int kReadingEvery = 256;  // sequences between two progress calls
constexpr const char* kTooLongMotif = "\tErr: Too long sequence: %hd N\xc2\xb0%hd\n";

struct MemberRules {
  const char* nonLetter;
  int capacity;     // more sequences than this are refused
  bool testMember;  // Tot1/Sam1, final non-letter removed, over-length ends the program
};

MemberRules rules_of(ReaderMember m) {
  switch (m) {
    case ReaderMember::GetData: return {kNonLetter, kMaxMotifSequences, false};
    case ReaderMember::GetTestData: return {kNonLetterTest, kMaxTestSequences, true};
    case ReaderMember::FormatFile:
    case ReaderMember::GetDataNg: break;
  }
  return {kNonLetter, kSampleSize, false};
}

std::string read_all(FILE* in) {
  std::string data;
  // Sized once from the file when it tells its size: a growing text would be copied at every
  // doubling, and fresh memory is what a read of a large file costs most.
  struct stat st;
  if (fstat(fileno(in), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    data.reserve(static_cast<size_t>(st.st_size));
  char buf[1 << 16];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) data.append(buf, n);
  return data;
}

// Splits the file as a line reader with a 6000-byte buffer sees it: pieces end after a line
// end, after 5999 bytes, or at the end of the file; every piece counts as a line of its own.
class Pieces {
 public:
  explicit Pieces(const std::string& data) : data_(data) {}
  bool next(std::string_view& piece) {
    if (pos_ >= data_.size()) return false;
    size_t limit = std::min(data_.size(), pos_ + static_cast<size_t>(kReadPiece));
    size_t end = pos_;
    while (end < limit && data_[end] != '\n') ++end;
    if (end < limit) ++end;  // the line end belongs to the piece
    piece = std::string_view(data_).substr(pos_, end - pos_);
    pos_ = end;
    return true;
  }

 private:
  const std::string& data_;
  size_t pos_ = 0;
};

bool is_header(std::string_view piece) { return !piece.empty() && piece[0] == '>'; }

int count_headers(const std::string& data) {
  int count = 0;
  Pieces pieces(data);
  std::string_view piece;
  while (pieces.next(piece))
    if (is_header(piece)) ++count;
  return count;
}

// The chosen mark of every ordinal: with no more sequences than the sample size every ordinal is
// drawn; otherwise `sample` distinct ordinals, drawn with the C generator seeded by the clock.
std::vector<char> draw_sample(int count, int sample) {
  std::vector<char> chosen(static_cast<size_t>(count), sample == count ? 1 : 0);
  if (sample == count) return chosen;
  std::srand(static_cast<unsigned>(std::clock()));
  for (int marked = 0; marked < sample;) {
    int r = std::rand() % count;
    if (!chosen[static_cast<size_t>(r)]) {
      chosen[static_cast<size_t>(r)] = 1;
      ++marked;
    }
  }
  return chosen;
}

// Cleans one residue line of sequence `ordinal` into `seq`: blanks, '*' and tabs dropped, lower
// case raised, other non-letters reported and kept; `length` counts what was stored or refused.
void add_residues(std::string_view piece, std::string& seq, long& length, int ordinal,
                  ReaderMember member, const MemberRules& rules, Console& con) {
  if (!piece.empty() && piece.back() == '\n') piece.remove_suffix(1);
  for (char c : piece) {
    if (c == ' ' || c == '*' || c == '\t') continue;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') {
      con.print(rules.nonLetter);
      // A NUL byte cannot stand in a text: it is reported like any non-letter, not kept.
      if (c == '\0') continue;
    }
    ++length;
    if (length <= kMaxResidues) {
      seq.push_back(c);
    } else if (rules.testMember) {
      con.print(kTooLong);
      end_run(1);
    } else if (member == ReaderMember::GetData) {
      con.print(kTooLongMotif, static_cast<short>(length), static_cast<short>(ordinal));
    } else {
      con.print(kTooLong);
    }
  }
}
}  // namespace

void read_sequences(InputTables& t, Console& con, FILE* in, ReaderMember member) {
  const MemberRules rules = rules_of(member);
  const std::string data = read_all(in);

  const int count = count_headers(data);
  if (count > kSampleSize) con.print(kTooMany);
  check_capacity(rules.testMember ? "test sequences" : "sequences", count, rules.capacity);
  const int sample = std::min(kSampleSize, count);
  const std::vector<char> chosen = draw_sample(count, sample);
  (rules.testMember ? t.Tot1 : t.Tot) = count;
  (rules.testMember ? t.Sam1 : t.Sam) = sample;
  t.P.clear();
  t.D.clear();

  // Text before the first header belongs to no sequence; each sequence runs up to the next
  // header or the end of the file.
  Pieces pieces(data);
  std::string_view piece;
  while (pieces.next(piece) && !is_header(piece)) {
  }
  std::string seq;
  for (int ordinal = 0; ordinal < count; ++ordinal) {
    if (ordinal % kReadingEvery == 0) progress::show(kReading, ordinal, count);
    seq.clear();
    long length = 0;
    while (pieces.next(piece) && !is_header(piece))
      add_residues(piece, seq, length, ordinal, member, rules, con);
    const bool sampled = chosen[static_cast<size_t>(ordinal)] != 0;
    // The test member drops a final non-letter (a carriage return left at the line end).
    if (rules.testMember && sampled && !seq.empty() && (seq.back() < 'A' || seq.back() > 'Z'))
      seq.pop_back();
    (sampled ? t.P : t.D).push_back(strdp(seq));
  }
  progress::clear();
}

void get_data(InputTables& t, Console& con, FILE* in) {
  read_sequences(t, con, in, ReaderMember::GetData);
}

void get_data_ng(InputTables& t, Console& con, FILE* in) {
  read_sequences(t, con, in, ReaderMember::GetDataNg);
  t.SLst = t.P;
}

void get_test_data(InputTables& t, Console& con, FILE* in) {
  read_sequences(t, con, in, ReaderMember::GetTestData);
  t.SLstT = t.P;
}
