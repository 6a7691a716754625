// Output files: created or emptied when opened, written through a large buffer, checked when
// closed. A file that cannot be created, or a write that fails (a full disk), ends the run with
// one line on standard error naming the file and status 1: data is never lost silently.
#pragma once
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct iovec;

// The texts of a file `name` that cannot be created, and of a failed write to it (errno `err`),
// as the "error:" line gives them.
std::string creation_failure_text(const std::string& name, int err);
std::string write_failure_text(const std::string& name, int err);

class OutFile {
 public:
  // Creates or empties `name`; ends the run (status 1) when it cannot be created.
  static OutFile create(const std::string& name);
  // The same, but an empty optional when it cannot be created (for prompts that ask again).
  static std::optional<OutFile> try_create(const std::string& name);
  // Writes to the open descriptor `fd` (closed by close()), naming the file `name` in errors;
  // ends the run (status 1) when no stream can be made for it.
  static OutFile on_descriptor(int fd, const std::string& name);

  OutFile(OutFile&& other) noexcept;
  OutFile& operator=(OutFile&& other) noexcept;
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;
  ~OutFile();  // closes without checking when close() was not called (error paths)

  void print(const char* fmt, ...);  // format_text semantics
  void write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), f_); }
  void put(char c) { std::putc(c, f_); }
  void flush() { std::fflush(f_); }
  // Writes `count` pieces straight from their own buffers, after what the stream holds, without
  // copying them into the stream's buffer (for rows of many kilobytes built in place). A write
  // that fails is reported by close(), like every other.
  void write_pieces(const struct iovec* pieces, int count);
  // Flushes and closes; a failed write ends the run naming the file.
  void close();

  const std::string& name() const { return name_; }

 private:
  OutFile(FILE* f, std::string name);
  // The stream's buffer: the C library ignores a buffer size given without a buffer, and would
  // write in blocks of the file system's size instead.
  std::unique_ptr<char[]> buffer_;
  FILE* f_ = nullptr;
  std::string name_;
  int writeError_ = 0;  // errno of a failed write_pieces
};
