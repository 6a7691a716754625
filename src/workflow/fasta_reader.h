// The FASTA reader of the workflow commands: plain or gzip-compressed files (told apart by their
// first two bytes; gzip members one after another read as one text, and bytes after the last
// one that begin no member are an error), or standard input for "-". One record at a
// time, so that a caller may stream sequences of any number and length.
//
// A record's id is the first word of its header. In residue lines letters are residues (lower
// case raised); blanks, tabs, carriage returns, '*' and the gap characters '-' and '.' are
// dropped; any other byte is an error naming the file, the line and the byte. Text before the
// first header must be blank. Every error ends the run (status 1) with one line naming the file.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct FastaRecord {
  std::string_view id;        // first word of the header
  std::string_view header;    // the whole header line after '>', without its line end
  std::string_view residues;  // cleaned residues, upper case
  uint64_t line = 0;          // line number of the header, from 1
};

class FastaReader {
 public:
  // Opens `path` ("-" is standard input); ends the run when it cannot be opened.
  explicit FastaReader(const std::string& path);
  ~FastaReader();
  FastaReader(const FastaReader&) = delete;
  FastaReader& operator=(const FastaReader&) = delete;

  // The next record, valid until the next call; false after the last one. A truncated or
  // corrupt gzip stream, or bytes after it that are not another member, end the run naming the
  // file.
  bool next(FastaRecord& record);

  // The name to use in messages ("standard input" for "-").
  const std::string& name() const { return name_; }
  // About how many bytes of the file the records returned so far took (compressed bytes for a
  // gzip file), and its size (0 when unknown, as for standard input): enough to estimate how
  // much is left.
  uint64_t consumed() const;
  uint64_t file_size() const { return fileSize_; }

 private:
  bool fill();  // reads more bytes after the unread rest; false at the end of the input
  // Up to `space` bytes of text (decompressed) into `out`; 0 at the end of the input.
  size_t produce(char* out, size_t space);
  bool read_more();  // reads more of the file after its unread bytes; false at its end
  [[noreturn]] void bad_byte(unsigned char c, uint64_t line) const;
  void read_residue_line(const char* begin, const char* end, uint64_t line);

  std::string name_;
  std::string what_;  // `the sequence file "NAME"`, or "standard input"
  struct Input;
  std::unique_ptr<Input> in_;
  uint64_t fileSize_ = 0;
  uint64_t produced_ = 0;  // bytes of text produced so far
  std::vector<char> buf_;
  size_t pos_ = 0, end_ = 0;  // unread bytes are buf_[pos_, end_)
  bool eof_ = false;          // zlib has nothing more
  bool done_ = false;         // the last record was returned
  uint64_t line_ = 0;         // lines read so far
  bool inRecord_ = false;     // header_ opens a record whose residues are being read
  std::string header_, nextHeader_, residues_;
  uint64_t headerLine_ = 0, nextHeaderLine_ = 0;
  bool haveNext_ = false;
};

// Appends the residues of `text` to `out` as a residue line is cleaned: letters in upper case;
// blanks, tabs, carriage returns, '*', '-' and '.' dropped. Returns the offset of the first byte
// that is none of these (the residues before it are appended), or npos.
size_t append_residues(std::string_view text, std::string& out);

// The first word of a header (blanks and tabs separate words), and the second.
std::string_view header_word(std::string_view header, int index);

// Shows a byte in a message: printable ASCII as itself, anything else as \xNN.
std::string shown_byte(unsigned char c);
