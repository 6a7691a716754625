// Named limits and fixed capacities of the work area. Every refusal of an input that
// exceeds a capacity goes through check_capacity (capacity.h), which names the limit.
#pragma once
#include <cstdint>

inline constexpr int32_t MAX_KMR = 3000000;    // characters of T, terminator included
inline constexpr int32_t MAX_CHAINE = 6000;    // Drapeau entries; start of the smallest-family search
inline constexpr int32_t MAX_CAR = 6000;       // line buffer of the family-table builder
inline constexpr int32_t MAX_ALPHABET = 255;   // per-character tables of the first numbering
inline constexpr int32_t MAX_FAM = 20;         // per-family counters, entry 0 reserved: 19 families

// Capacities that the old tables wrote as plain numbers.
inline constexpr int kSampleSize = 4000;         // sequences held by P (and by D)
inline constexpr int kMaxSequences = 4000;       // sequences of a dd, ddsm or ng run
inline constexpr int kMaxMotifSequences = 8000;  // sequences of an ma run (4000 sampled + 4000 in D)
inline constexpr int kMaxTestSequences = 400;    // test sequences (SLstT)
inline constexpr int kMaxResidues = 5998;        // residues kept of one sequence
inline constexpr int kReadPiece = 5999;          // a sequence-file line arrives in pieces of this size
inline constexpr int kMaxClassNames = 100;       // class names of a classification file
inline constexpr int kMaxDescriptors = 60000;    // rows of the ddsm descriptor table
inline constexpr int kMaxFamilies = MAX_FAM - 1; // families the discrimination filter can count
