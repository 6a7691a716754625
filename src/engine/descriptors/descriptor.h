// The descriptors a discovery accepts, its settings, and the state it works on between cycles.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The discrimination thresholds. Both are compared in single precision, as float(alpha) and
// float(beta): a threshold read in single precision comes back unchanged.
struct DescriptorSettings {
  double alpha = 0;  // smallest share of its best family a descriptor must occur in
  double beta = 0;   // largest share of the other sequences it may occur in
};

// An accepted discriminative descriptor.
struct Descriptor {
  std::string text;
  std::vector<uint32_t> families;  // the tied best families, lowest number first
  uint32_t count = 0;              // sequences of the best family that contain the text
  uint32_t size = 0;               // sequences of the best family
  // Live occurrences per sequence, when the discovery keeps them (DiscoveryRecords::All):
  // (sequence number from 1, count), ascending sequence numbers, only counts above 0.
  std::vector<std::pair<uint32_t, uint32_t>> presence;
};

// The word length from which the occurrences of an accepted descriptor are retired: shorter
// descriptors leave their positions live, so that longer words through them can still be found.
inline constexpr uint32_t kRetireFrom = 3;

// What one discovery works on between its cycles: the number of live classes, the length of
// their words, and the descriptors accepted so far in order of acceptance.
struct DiscoveryState {
  uint32_t liveClasses = 0;
  uint32_t wordLength = 1;
  std::vector<Descriptor> accepted;
};
