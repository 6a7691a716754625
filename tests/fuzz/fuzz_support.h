// Shared helpers of the fuzz targets: a memory file for the input bytes, a console that
// collects the program's texts, and a private working folder for SeqFile.seq.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// A read-only FILE* over `bytes` (fmemopen refuses an empty buffer, so an empty input is an
// empty temporary file).
inline FILE* fuzz_input(const std::string& bytes) {
  if (bytes.empty()) return std::tmpfile();
  return fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
}

// Collected console texts.
struct FuzzOutput {
  char* data = nullptr;
  size_t size = 0;
  FILE* f = open_memstream(&data, &size);
  ~FuzzOutput() {
    if (f) std::fclose(f);
    std::free(data);
  }
  std::string text() {
    std::fflush(f);
    return std::string(data, size);
  }
};

// Moves into a fresh temporary folder once, so SeqFile.seq never lands in the source tree.
inline void fuzz_enter_temp_dir() {
  static bool done = false;
  if (done) return;
  char dir[] = "/tmp/protfeat-fuzz-XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) std::abort();
  done = true;
}

#define FUZZ_CHECK(cond)                                                      \
  do {                                                                        \
    if (!(cond)) {                                                            \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
      std::abort();                                                           \
    }                                                                         \
  } while (0)
