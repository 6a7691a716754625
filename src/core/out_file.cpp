#include "core/out_file.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "core/run_exit.h"
#include "core/text_format.h"

namespace {
constexpr size_t kBufferSize = 1 << 20;
}

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
  if (!f) fail(1, "cannot create file \"%s\": %s", name.c_str(), std::strerror(errno));
  return OutFile(f, name);
}

OutFile::OutFile(OutFile&& other) noexcept
    : buffer_(std::move(other.buffer_)), f_(other.f_), name_(std::move(other.name_)) {
  other.f_ = nullptr;
}

OutFile& OutFile::operator=(OutFile&& other) noexcept {
  if (this != &other) {
    if (f_) std::fclose(f_);
    buffer_ = std::move(other.buffer_);
    f_ = other.f_;
    name_ = std::move(other.name_);
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

void OutFile::close() {
  if (!f_) return;
  bool bad = std::ferror(f_) != 0;
  int err = errno;
  if (std::fclose(f_) != 0) {
    bad = true;
    err = errno;
  }
  f_ = nullptr;
  if (bad) fail(1, "cannot write file \"%s\": %s", name_.c_str(), std::strerror(err));
}
