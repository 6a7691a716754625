// The occurrence test of the motif search and of encode's motifs with a distance: the edit
// distance from a framed pattern ("*", the motif, "*"; a '*' matches any run of sequence
// characters at no cost) to a sequence.
#pragma once
#include <cstdint>
#include <string_view>

// The smallest number of substitutions, insertions and deletions that turn the non-'*'
// characters of `pattern` into a substring of `sequence`, each '*' standing for any run of
// sequence characters. Bytes compare exactly (case-sensitive). Neither text is changed; a
// pattern of any length is handled (the row grows with it).
int64_t match(std::string_view pattern, std::string_view sequence);
