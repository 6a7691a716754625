// The FASTA reader of the workflow commands: plain bytes as read, gzip members through inflate.
#include "workflow/fasta_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <new>

#include "core/run_exit.h"

namespace {
constexpr size_t kBlock = size_t{4} << 20;             // bytes of text produced at a time
constexpr size_t kInBlock = size_t{1} << 20;           // bytes read from the file at a time
constexpr unsigned char kGzip1 = 0x1f, kGzip2 = 0x8b;  // a gzip member's first bytes
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

// The file's bytes: read in blocks into `bytes`, whose unread part z.next_in and z.avail_in
// give, and inflated through `z` when the file is gzip-compressed.
struct FastaReader::Input {
  int fd = -1;
  z_stream z{};
  bool gzip = false;
  bool inflating = false;  // z is set up for inflate
  bool member = false;     // inside a gzip member (its end not reached)
  uint64_t read = 0;       // bytes read from the file
  std::vector<unsigned char> bytes = std::vector<unsigned char>(kInBlock);
};

FastaReader::FastaReader(const std::string& path) : in_(std::make_unique<Input>()), buf_(kBlock) {
  if (path == "-") {
    name_ = what_ = "standard input";
    in_->fd = ::dup(0);
    if (in_->fd < 0) fail_system(errno, "cannot read standard input");
  } else {
    name_ = path;
    what_ = "the sequence file \"" + path + "\"";
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
      fail_system(errno, "cannot open the sequence file \"%s\": %s", path.c_str(),
                  std::strerror(errno));
    if (S_ISDIR(st.st_mode))
      fail_system(EISDIR, "the sequence file \"%s\" is a folder", path.c_str());
    if (S_ISREG(st.st_mode)) fileSize_ = static_cast<uint64_t>(st.st_size);
    in_->fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (in_->fd < 0)
      fail_system(errno, "cannot open the sequence file \"%s\": %s", path.c_str(),
                  std::strerror(errno));
  }
  z_stream& z = in_->z;
  z.next_in = in_->bytes.data();
  while (z.avail_in < 2 && read_more()) {
  }
  in_->gzip = z.avail_in >= 2 && z.next_in[0] == kGzip1 && z.next_in[1] == kGzip2;
  if (in_->gzip) {
    if (inflateInit2(&z, 15 + 16) != Z_OK) throw std::bad_alloc();
    in_->inflating = true;
  }
}

FastaReader::~FastaReader() {
  if (in_->inflating) inflateEnd(&in_->z);
  if (in_->fd >= 0) ::close(in_->fd);
}

uint64_t FastaReader::consumed() const {
  // The file's bytes taken so far gave `produced_` bytes of text; of these, the bytes still in
  // our buffer are not consumed yet.
  const uint64_t taken = in_->read - in_->z.avail_in;
  if (taken == 0 || produced_ == 0) return 0;
  const double used = static_cast<double>(produced_) - static_cast<double>(end_ - pos_);
  return static_cast<uint64_t>(static_cast<double>(taken) * used / static_cast<double>(produced_));
}

bool FastaReader::read_more() {
  Input& in = *in_;
  if (in.z.avail_in > 0 && in.z.next_in != in.bytes.data())
    std::memmove(in.bytes.data(), in.z.next_in, in.z.avail_in);
  in.z.next_in = in.bytes.data();
  ssize_t n;
  do {
    n = ::read(in.fd, in.bytes.data() + in.z.avail_in, in.bytes.size() - in.z.avail_in);
  } while (n < 0 && errno == EINTR);
  if (n < 0) fail_system(errno, "cannot read %s: %s", what_.c_str(), std::strerror(errno));
  in.z.avail_in += static_cast<uInt>(n);
  in.read += static_cast<uint64_t>(n);
  return n > 0;
}

size_t FastaReader::produce(char* out, size_t space) {
  Input& in = *in_;
  z_stream& z = in.z;
  if (!in.gzip) {
    if (z.avail_in == 0 && !read_more()) return 0;
    const size_t n = std::min<size_t>(space, z.avail_in);
    std::memcpy(out, z.next_in, n);
    z.next_in += n;
    z.avail_in -= static_cast<uInt>(n);
    return n;
  }
  const auto room = static_cast<uInt>(std::min<size_t>(space, size_t{1} << 30));
  z.next_out = reinterpret_cast<Bytef*>(out);
  z.avail_out = room;
  while (z.avail_out == room) {
    if (!in.member) {
      // Between members: the end of the file, or the next member.
      while (z.avail_in < 2 && read_more()) {
      }
      if (z.avail_in == 0) return 0;
      if (z.avail_in < 2 || z.next_in[0] != kGzip1 || z.next_in[1] != kGzip2)
        fail(1, "%s has bytes after its gzip data that are not gzip data", what_.c_str());
      inflateReset(&z);
      in.member = true;
    }
    if (z.avail_in == 0 && !read_more()) fail(1, "%s is a truncated gzip file", what_.c_str());
    const int r = inflate(&z, Z_NO_FLUSH);
    if (r == Z_STREAM_END)
      in.member = false;
    else if (r == Z_MEM_ERROR)
      throw std::bad_alloc();
    else if (r != Z_OK && !(r == Z_BUF_ERROR && z.avail_in == 0))
      fail(1, "cannot read %s: %s", what_.c_str(), z.msg ? z.msg : "corrupt gzip data");
  }
  return room - z.avail_out;
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
  const size_t n = produce(buf_.data() + end_, buf_.size() - end_);
  if (n == 0) {
    eof_ = true;
    return false;
  }
  end_ += n;
  produced_ += n;
  return true;
}

[[noreturn]] void FastaReader::bad_byte(unsigned char c, uint64_t line) const {
  fail(1, "%s, line %llu: %s is not a residue letter", name_.c_str(),
       static_cast<unsigned long long>(line), shown_byte(c).c_str());
}

size_t append_residues(std::string_view text, std::string& out) {
  const size_t old = out.size();
  out.resize(old + text.size());
  char* o = out.data() + old;
  size_t bad = std::string_view::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    const uint8_t v = kResidue[static_cast<unsigned char>(text[i])];
    if (v > kBad) {
      *o++ = static_cast<char>(v);
    } else if (v == kBad) {
      bad = i;
      break;
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return bad;
}

void FastaReader::read_residue_line(const char* begin, const char* end, uint64_t line) {
  const std::string_view text(begin, static_cast<size_t>(end - begin));
  if (const size_t bad = append_residues(text, residues_); bad != std::string_view::npos)
    bad_byte(static_cast<unsigned char>(text[bad]), line);
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
