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

// Runs the enclosing scope in a private temporary folder (made once), so SeqFile.seq never
// lands in the source tree; the previous folder comes back at the end of the scope, so that
// libFuzzer still finds relative corpus and artifact paths.
class FuzzTempDir {
 public:
  FuzzTempDir() {
    static std::string dir = [] {
      char name[] = "/tmp/protfeat-fuzz-XXXXXX";
      if (!mkdtemp(name)) std::abort();
      return std::string(name);
    }();
    if (!getcwd(previous_, sizeof previous_) || chdir(dir.c_str()) != 0) std::abort();
  }
  ~FuzzTempDir() {
    if (chdir(previous_) != 0) std::abort();
  }

 private:
  char previous_[4096];
};

#define FUZZ_CHECK(cond)                                                                  \
  do {                                                                                    \
    if (!(cond)) {                                                                        \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (0)
