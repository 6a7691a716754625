// Output files: the large buffer, the unbuffered pieces and the checked close.
#include "core/out_file.h"

#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstring>
#include <vector>

#include "core/run_exit.h"
#include "core/text_format.h"

namespace {
constexpr size_t kBufferSize = 1 << 20;

[[noreturn]] void cannot_create(const std::string& name, int err) {
  fail_system(err, "%s", creation_failure_text(name, err).c_str());
}
}  // namespace

OutFile::OutFile(FILE* f, std::string name)
    : buffer_(new char[kBufferSize]), f_(f), name_(std::move(name)) {
  std::setvbuf(f_, buffer_.get(), _IOFBF, kBufferSize);
}

std::optional<OutFile> OutFile::try_create(const std::string& name) {
  FILE* f = std::fopen(name.c_str(), "w");
  if (!f) return std::nullopt;
  return OutFile(f, name);
}

OutFile OutFile::create(const std::string& name) {
  FILE* f = std::fopen(name.c_str(), "w");
  if (!f) cannot_create(name, errno);
  return OutFile(f, name);
}

OutFile OutFile::on_descriptor(int fd, const std::string& name) {
  FILE* f = ::fdopen(fd, "w");
  if (!f) {
    const int err = errno;
    ::close(fd);
    cannot_create(name, err);
  }
  return OutFile(f, name);
}

std::string creation_failure_text(const std::string& name, int err) {
  return "cannot create file \"" + name + "\": " + std::strerror(err);
}

std::string write_failure_text(const std::string& name, int err) {
  return "cannot write file \"" + name + "\": " + std::strerror(err);
}

OutFile::OutFile(OutFile&& other) noexcept
    : buffer_(std::move(other.buffer_)),
      f_(other.f_),
      name_(std::move(other.name_)),
      writeError_(other.writeError_) {
  other.f_ = nullptr;
}

OutFile& OutFile::operator=(OutFile&& other) noexcept {
  if (this != &other) {
    if (f_) std::fclose(f_);
    buffer_ = std::move(other.buffer_);
    f_ = other.f_;
    name_ = std::move(other.name_);
    writeError_ = other.writeError_;
    other.f_ = nullptr;
  }
  return *this;
}

OutFile::~OutFile() {
  if (f_) std::fclose(f_);
}

void OutFile::print(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string s = vformat_text(fmt, ap);
  va_end(ap);
  write(s);
}

void OutFile::write_pieces(const struct iovec* pieces, int count) {
  if (writeError_ != 0 || std::fflush(f_) != 0) return;  // close() reports the failure
  std::vector<iovec> left(pieces, pieces + count);
  size_t i = 0;
  for (;;) {
    while (i < left.size() && left[i].iov_len == 0) ++i;
    if (i == left.size()) return;
    const int n = static_cast<int>(std::min<size_t>(left.size() - i, IOV_MAX));
    const ssize_t w = ::writev(fileno(f_), left.data() + i, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      writeError_ = w < 0 ? errno : EIO;
      return;
    }
    // A short write goes on from the first byte not written.
    size_t done = static_cast<size_t>(w);
    while (done > 0 && done >= left[i].iov_len) done -= left[i++].iov_len;
    if (done > 0) {
      left[i].iov_base = static_cast<char*>(left[i].iov_base) + done;
      left[i].iov_len -= done;
    }
  }
}

void OutFile::close() {
  if (!f_) return;
  bool bad = std::ferror(f_) != 0;
  int err = errno;
  if (writeError_ != 0) {
    bad = true;
    err = writeError_;
  }
  if (std::fclose(f_) != 0) {
    bad = true;
    err = errno;
  }
  f_ = nullptr;
  if (bad) fail_system(err, "%s", write_failure_text(name_, err).c_str());
}
