// In-memory streams for unit tests: a FILE* reading given bytes, a FILE* collecting what is
// written, and a work area whose console uses both; and a scope that runs in a temporary folder.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "console/work_area.h"
#include "core/run_exit.h"
#include "support/run_program.h"

// A FILE* reading exactly `bytes` (a temporary file, so that empty inputs work too).
class InputFile {
 public:
  explicit InputFile(const std::string& bytes) : f_(std::tmpfile()) {
    std::fwrite(bytes.data(), 1, bytes.size(), f_);
    std::rewind(f_);
  }
  ~InputFile() { std::fclose(f_); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  FILE* get() const { return f_; }

 private:
  FILE* f_;
};

// A FILE* collecting what is written; text() returns it so far.
class OutputCapture {
 public:
  OutputCapture() : f_(open_memstream(&data_, &size_)) {}
  ~OutputCapture() {
    std::fclose(f_);
    std::free(data_);
  }
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;
  FILE* get() const { return f_; }
  std::string text() {
    std::fflush(f_);
    return std::string(data_, size_);
  }

 private:
  char* data_ = nullptr;
  size_t size_ = 0;
  FILE* f_;
};

// A work area whose console prints into `out` and reads the answers `answers`.
struct TestArea {
  explicit TestArea(const std::string& answers = "") : in(answers) {
    wa.con = Console(out.get(), in.get());
  }
  std::string printed() { return out.text(); }
  OutputCapture out;
  InputFile in;
  WorkArea wa;
};

// Runs the enclosing scope in a fresh temporary folder (files written to the current folder,
// such as SeqFile.seq, land there) and returns to the previous folder at its end.
class InTempDir {
 public:
  InTempDir() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~InTempDir() { std::filesystem::current_path(previous_); }
  const TempDir& dir() const { return dir_; }

 private:
  TempDir dir_;
  std::filesystem::path previous_;
};

// Runs `f`; returns the exit status of a run that ended through RunExit (-1 when it returned)
// and what it wrote to standard error.
template <class F>
std::pair<int, std::string> ends(F&& f) {
  testing::internal::CaptureStderr();
  int status = -1;
  try {
    f();
  } catch (const RunExit& e) {
    status = e.status;
  }
  return {status, testing::internal::GetCapturedStderr()};
}
