// Whole runs of one approach on small generated inputs, for the fuzz targets *_run_fuzz.cpp.
// The fuzz input holds the sequence file and the classification file, separated by a 0xFF byte;
// the run reads its answers from memory (ddsm uses the same pair as its test set) and writes its
// files in a private folder. Every run must end normally or through a RunExit (a refusal);
// anything else is a finding.
//
// Build with `make fuzz`, then for example (close_fd_mask=3 silences the runs' texts):
//   build-fuzz/dd_run_fuzz -max_len=4096 -timeout=20 -close_fd_mask=3 -max_total_time=600 \
//       tests/fuzz/corpus/dd_run
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "console/dd_run.h"
#include "console/ddsm_run.h"
#include "console/ma_run.h"
#include "console/ng_run.h"
#include "console/work_area.h"
#include "core/run_exit.h"
#include "fuzz/fuzz_support.h"

enum class FuzzApproach { Dd, Ddsm, Ng, Ma };

inline void fuzz_write_file(const char* name, const std::string& bytes) {
  FILE* f = std::fopen(name, "wb");
  if (!f) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

inline int fuzz_whole_run(FuzzApproach approach, const uint8_t* data, size_t size) {
  FuzzTempDir here;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const size_t cut = text.find('\xff');
  fuzz_write_file("seq.txt", text.substr(0, cut));
  fuzz_write_file("class.txt", cut == std::string::npos ? std::string() : text.substr(cut + 1));

  std::string answers;
  switch (approach) {
    case FuzzApproach::Dd: answers = "seq.txt\nclass.txt\n0.5\n0.3\n"; break;
    case FuzzApproach::Ddsm:
      answers = "seq.txt\nclass.txt\nseq.txt\nclass.txt\n0.5\n0.3\n\n\n\n\n";
      break;
    case FuzzApproach::Ng:
    case FuzzApproach::Ma: answers = "seq.txt\nclass.txt\nContext.txt\n"; break;
  }
  FILE* in = fuzz_input(answers);
  FuzzOutput out;
  {
    WorkArea wa;
    wa.con = Console(out.f, in);
    try {
      switch (approach) {
        case FuzzApproach::Dd: DisClass(wa, "", "", "", "2", "2"); break;
        case FuzzApproach::Ddsm: DDMS(wa, "", "", ""); break;
        case FuzzApproach::Ng: mainNGrams(wa, "", "", "", 3); break;
        case FuzzApproach::Ma: Discover(wa, "", "", ""); break;
      }
    } catch (const RunExit&) {
    }
  }
  std::fclose(in);
  return 0;
}
