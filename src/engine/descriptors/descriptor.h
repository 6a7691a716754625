// The descriptors the discovery accepts, the state it leaves, and its settings.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

// An accepted discriminative descriptor: its text is `length` characters of T from `start`.
struct DDEntry {
  uint32_t number = 0;             // 1, 2, ... in order of acceptance
  int64_t start = 0;               // first (lowest) live occurrence when accepted
  std::vector<uint32_t> families;  // final tied set, lowest number first (the head of the stack)
  int64_t length = 0;
  uint32_t familyCount = 0;  // sequences of the best family that contain the word
  uint32_t familySize = 0;   // sequences of the best family
  // Live occurrences per sequence, stored sparse: (sequence number from 1, count), ascending
  // sequence numbers, only sequences with a count above 0.
  std::vector<std::pair<uint32_t, uint32_t>> presence;
};

// What a descriptor discovery leaves: the accepted descriptors in order of acceptance
// (AllDDs[0] is number 1; the old list ran from the most recent one back, so "list order" is
// this vector read from the back) and the state of the last cycle.
struct DiscoveryState {
  uint32_t NbrClasses = 0, LongMot = 1, NbMot = 0;
  std::vector<DDEntry> AllDDs;

  void reset() { *this = DiscoveryState(); }
};

// The settings of a run: the discrimination thresholds, the similarity threshold of ddsm and the
// fixed settings of the discovery.
struct Settings {
  float ALPHA = 0, BETA = 0, Score = 0;
  int32_t Step = 1, FilterAt = 3;  // what every descriptor run sets

  void reset() { *this = Settings(); }
};
