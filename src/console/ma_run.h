// Discover, the ma run: the console adapter of the motif search. It reads the sequences (a
// random sample of 4000 when there are more), writes "Report.out" as motifs are found, with a
// spinner and a count on the console, and the motif list under the context file name.
#pragma once
#include <chrono>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/spinner.h"
#include "console/work_area.h"
#include "core/out_file.h"
#include "engine/motifs/motif_search.h"

void Discover(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
              const std::string& contextFile);

// The console and the report of the walk: the spinner moves on every 101 occurrence tests, each
// motif gets its report line and its count on the console. The old search flushed after every
// motif; the bytes are the same when the flushes are spread out (at most every tenth of a
// second), and a run with many motifs is not held up by them.
class ConsoleReport : public MotifObserver {
 public:
  ConsoleReport(Console& con, OutFile& report) : con_(con), report_(report) {}
  void building(uint64_t done, uint64_t total, uint64_t size) override;
  void phase(const char* step) override;
  void tested(uint64_t calls) override;
  void found(const MotifSearch& ms, std::string_view text) override;
  // Writes what is pending and flushes the console and the report.
  void finish();

 private:
  void emit();
  void tick();

  Console& con_;
  OutFile& report_;
  Spinner spinner_;
  std::string pending_;
  std::chrono::steady_clock::time_point lastFlush_ = std::chrono::steady_clock::now();
};
