// Discover, the ma run: the console adapter of the motif search. It reads the sequences (a
// random sample of 4000 when there are more), writes "Report.out" as motifs are found, with a
// spinner and a count on the console, and the motif list under the context file name.
#pragma once
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/spinner.h"
#include "console/work_area.h"
#include "core/out_file.h"
#include "engine/motifs/motif_search.h"

void Discover(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
              const std::string& contextFile);

// The run's settings for Sam sequences sampled out of Tot: Minlgh 3, Maxlgh 6000, Minocc Tot / 4,
// Minsam the sample threshold of those, Dist 0.
MotifSettings ma_settings(int Tot, int Sam);

// The console and the report of the walk: the spinner moves on every 101 occurrence tests, each
// motif gets its report line and its count on the console. The old search flushed after every
// motif; the bytes are the same when the flushes are spread out (at most every tenth of a
// second), and a run with many motifs is not held up by them.
class ConsoleReport : public MotifListener {
 public:
  ConsoleReport(Console& con, OutFile& report) : con_(con), report_(report) {}
  void tested(uint64_t calls) override;
  void found(const MotifRef& motif, std::string_view text, uint64_t number) override;
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

// one_ptn, the run's walk over the index of the sample and the rest D, every motif reported to
// `report` as it is found, all of it written when the walk ends: St is the result's checked, Ct
// the count of its motifs, MLst the motifs.
MotifResult one_ptn(std::shared_ptr<const MotifIndex> index, SequenceViews D,
                    const MotifSettings& ms, ConsoleReport& report);
