// How an engine tells its caller how far long work has come, without printing anything itself:
// it calls the function now and then with one report. Every engine reports in this one shape;
// the caller decides whether and how to show it (core/engine_progress.h draws it on a terminal).
#pragma once
#include <cstdint>
#include <functional>
#include <string_view>

struct Progress {
  std::string_view step;  // what is under way, in a few words: "pruning descriptors"
  uint64_t done = 0;      // units of work done in this step
  uint64_t total = 0;     // units in all; 0 when not known in advance
  std::string_view unit;  // what done and total count: "descriptors", "sequences"
  uint64_t found = 0;     // results so far (descriptors, motifs), where the step has any
};

using ProgressFn = std::function<void(const Progress&)>;
