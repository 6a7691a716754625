// Shared helpers of the fuzz targets of the workflow's readers: the input bytes as a file of the
// private working folder, and a reader run that a refusal (RunExit, status 1) ends normally.
#pragma once
#include <cstdint>
#include <string>

#include "core/run_exit.h"
#include "fuzz/fuzz_support.h"
#include "support/file_bytes.h"

// Writes `bytes` as `name` in the working folder (FuzzTempDir) and returns its name.
inline std::string fuzz_file(const std::string& name, const std::string& bytes) {
  FILE* f = std::fopen(name.c_str(), "wb");
  FUZZ_CHECK(f != nullptr);
  FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
  FUZZ_CHECK(std::fclose(f) == 0);
  return name;
}

// Runs `read`; false when it refused the input, which must end the run with status 1.
template <class Read>
bool fuzz_accepts(Read&& read) {
  try {
    read();
  } catch (const RunExit& e) {
    FUZZ_CHECK(e.status == 1);
    return false;
  }
  return true;
}
