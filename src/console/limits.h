// Named limits and fixed capacities of the work area. Every refusal of an input that
// exceeds a capacity goes through check_capacity (capacity.h), which names the limit.
#pragma once
#include <cstdint>

inline constexpr int32_t MAX_KMR = 3000000;  // characters of T, terminator included
inline constexpr int32_t MAX_FAM = 20;       // per-family counters, entry 0 reserved: 19 families

// Capacities that the old tables wrote as plain numbers.
// Sequences held by P (and by D): the sample of an ma run, and every sequence of a dd, ddsm or ng
// run, whose later steps read P for each sequence counted.
inline constexpr int kSampleSize = 4000;
inline constexpr int kMaxMotifSequences =
    8000;                                      // sequences of an ma run (4000 sampled + 4000 in D)
inline constexpr int kMaxTestSequences = 400;  // test sequences (SLstT)
inline constexpr int kMaxResidues = 5998;      // residues kept of one sequence
inline constexpr int kReadPiece = 5999;     // a sequence-file line arrives in pieces of this size
inline constexpr int kMaxClassNames = 100;  // class names of a classification file
inline constexpr int kMaxDescriptors = 60000;     // rows of the ddsm descriptor table
inline constexpr int kMaxFamilies = MAX_FAM - 1;  // families the discrimination filter can count
