// The occurrence test of the motif search and of encode's motifs with a distance: the edit
// distance from a framed pattern ("*", the motif, "*"; a '*' matches any run of sequence
// characters at no cost) to a sequence; and the number of places where a motif occurs within a
// distance.
#pragma once
#include <cstdint>
#include <string_view>

// The smallest number of substitutions, insertions and deletions that turn the non-'*'
// characters of `pattern` into a substring of `sequence`, each '*' standing for any run of
// sequence characters. Bytes compare exactly (case-sensitive). Neither text is changed; a
// pattern of any length is handled (the row grows with it).
int64_t match(std::string_view pattern, std::string_view sequence);

// The number of positions j (1 to the length of `sequence`) at which some substring of
// `sequence` ending at j is within edit distance `distance` of `motif`: the occurrences of the
// motif within the distance, each counted once at the place where it ends however many starts
// reach it there. With distance 0 that is the number of exact (overlapping) occurrences; it is
// above 0 exactly when match("*" + motif + "*", sequence) <= distance.
uint64_t count_within(std::string_view motif, std::string_view sequence, int64_t distance);
