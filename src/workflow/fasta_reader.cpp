// The FASTA reader of the workflow commands: zlib reads plain and gzip-compressed input alike.
#include "workflow/fasta_reader.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "core/run_exit.h"

namespace {
constexpr size_t kBlock = size_t{4} << 20;  // bytes asked of zlib at a time
constexpr uint8_t kDrop = 0;
constexpr uint8_t kBad = 1;

// What each byte of a residue line becomes: the residue (upper case), dropped, or an error.
constexpr std::array<uint8_t, 256> residue_table() {
  std::array<uint8_t, 256> t{};
  for (auto& v : t) v = kBad;
  for (int c = 'A'; c <= 'Z'; ++c) {
    t[static_cast<size_t>(c)] = static_cast<uint8_t>(c);
    t[static_cast<size_t>(c - 'A' + 'a')] = static_cast<uint8_t>(c);
  }
  for (char c : {' ', '\t', '\r', '*', '-', '.', '\f', '\v'})
    t[static_cast<unsigned char>(c)] = kDrop;
  return t;
}
constexpr std::array<uint8_t, 256> kResidue = residue_table();

gzFile gz(void* p) { return static_cast<gzFile>(p); }

bool blank(std::string_view line) {
  return line.find_first_not_of(" \t\r\f\v") == std::string_view::npos;
}
}  // namespace

std::string shown_byte(unsigned char c) {
  if (c >= 0x20 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
  static const char* hex = "0123456789ABCDEF";
  return std::string("\\x") + hex[c >> 4] + hex[c & 15];
}

std::string_view header_word(std::string_view header, int index) {
  size_t p = 0;
  for (int w = 0;; ++w) {
    p = header.find_first_not_of(" \t", p);
    if (p == std::string_view::npos) return {};
    const size_t e = std::min(header.find_first_of(" \t", p), header.size());
    if (w == index) return header.substr(p, e - p);
    p = e;
  }
}

FastaReader::FastaReader(const std::string& path) : buf_(kBlock) {
  if (path == "-") {
    name_ = "standard input";
    const int fd = ::dup(0);
    if (fd >= 0) gz_ = gzdopen(fd, "rb");
    if (!gz_) fail(1, "cannot read standard input");
  } else {
    name_ = path;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
      fail(1, "cannot open the sequence file \"%s\": %s", path.c_str(), std::strerror(errno));
    if (S_ISDIR(st.st_mode)) fail(1, "the sequence file \"%s\" is a folder", path.c_str());
    if (S_ISREG(st.st_mode)) fileSize_ = static_cast<uint64_t>(st.st_size);
    gz_ = gzopen(path.c_str(), "rb");
    if (!gz_)
      fail(1, "cannot open the sequence file \"%s\": %s", path.c_str(), std::strerror(errno));
  }
  gzbuffer(gz(gz_), 1u << 20);
}

FastaReader::~FastaReader() {
  if (gz_) gzclose(gz(gz_));
}

uint64_t FastaReader::consumed() const {
  // zlib has read `off` bytes of the file for the `pos` bytes it gave; of these, the bytes still
  // in our buffer are not consumed yet.
  const z_off_t off = gzoffset(gz(gz_)), pos = gztell(gz(gz_));
  if (off <= 0 || pos <= 0) return 0;
  const double used = static_cast<double>(pos) - static_cast<double>(end_ - pos_);
  return static_cast<uint64_t>(static_cast<double>(off) * used / static_cast<double>(pos));
}

bool FastaReader::fill() {
  if (eof_) return false;
  if (pos_ > 0) {
    std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  // A line longer than the buffer makes it grow: no line length is too long.
  if (buf_.size() - end_ < kBlock / 2) buf_.resize(buf_.size() * 2);
  const int n = gzread(gz(gz_), buf_.data() + end_, static_cast<unsigned>(buf_.size() - end_));
  int err = Z_OK;
  const char* msg = gzerror(gz(gz_), &err);
  if (n < 0 || (err != Z_OK && err != Z_BUF_ERROR))
    fail(1, "cannot read the sequence file \"%s\": %s", name_.c_str(),
         err == Z_ERRNO ? std::strerror(errno) : msg);
  if (n == 0) {
    // zlib tells a gzip stream that ended before its end marker by Z_BUF_ERROR at the end.
    if (err == Z_BUF_ERROR)
      fail(1, "the sequence file \"%s\" is a truncated gzip file", name_.c_str());
    eof_ = true;
    return false;
  }
  end_ += static_cast<size_t>(n);
  return true;
}

[[noreturn]] void FastaReader::bad_byte(unsigned char c, uint64_t line) const {
  fail(1, "%s, line %llu: %s is not a residue letter", name_.c_str(),
       static_cast<unsigned long long>(line), shown_byte(c).c_str());
}

void FastaReader::read_residue_line(const char* begin, const char* end, uint64_t line) {
  const size_t old = residues_.size();
  residues_.resize(old + static_cast<size_t>(end - begin));
  char* out = residues_.data() + old;
  for (const char* p = begin; p != end; ++p) {
    const uint8_t v = kResidue[static_cast<unsigned char>(*p)];
    if (v > kBad)
      *out++ = static_cast<char>(v);
    else if (v == kBad)
      bad_byte(static_cast<unsigned char>(*p), line);
  }
  residues_.resize(static_cast<size_t>(out - residues_.data()));
}

bool FastaReader::next(FastaRecord& record) {
  if (done_) return false;
  if (haveNext_) {
    header_.swap(nextHeader_);
    headerLine_ = nextHeaderLine_;
    residues_.clear();
    haveNext_ = false;
    inRecord_ = true;
  }
  for (;;) {
    const char* base = buf_.data();
    const void* nl = std::memchr(base + pos_, '\n', end_ - pos_);
    if (!nl && fill()) continue;
    base = buf_.data();
    std::string_view text;
    if (nl) {
      const size_t e = static_cast<size_t>(static_cast<const char*>(nl) - base);
      text = std::string_view(base + pos_, e - pos_);
      pos_ = e + 1;
    } else if (pos_ < end_) {
      text = std::string_view(base + pos_, end_ - pos_);  // a last line without its line end
      pos_ = end_;
    } else {
      done_ = true;
      if (!inRecord_) return false;
      inRecord_ = false;
      record = {header_word(header_, 0), header_, residues_, headerLine_};
      return true;
    }
    ++line_;
    if (!text.empty() && text.front() == '>') {
      std::string_view h = text.substr(1);
      if (!h.empty() && h.back() == '\r') h.remove_suffix(1);
      if (header_word(h, 0).empty())
        fail(1, "%s, line %llu: a header without an id", name_.c_str(),
             static_cast<unsigned long long>(line_));
      if (!inRecord_) {
        header_.assign(h);
        headerLine_ = line_;
        residues_.clear();
        inRecord_ = true;
        continue;
      }
      nextHeader_.assign(h);
      nextHeaderLine_ = line_;
      haveNext_ = true;
      inRecord_ = false;
      record = {header_word(header_, 0), header_, residues_, headerLine_};
      return true;
    }
    if (!inRecord_) {
      if (!blank(text))
        fail(1, "%s, line %llu: text before the first header (a FASTA header begins with '>')",
             name_.c_str(), static_cast<unsigned long long>(line_));
      continue;
    }
    read_residue_line(text.data(), text.data() + text.size(), line_);
  }
}
