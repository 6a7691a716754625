// The sequence-file reader family. Every member counts the header lines, draws the sample,
// cleans residue lines (blanks, '*' and tabs dropped, lower case raised, any other non-letter
// reported and kept) and stores the sequences in P (sampled) and D (left out), in file order.
//
// Reads the open file; leaves Tot/Sam (or Tot1/Sam1), P, D and the member's copies (SLst for
// get_data_ng, SLstT for get_test_data) in the input tables, its messages on the console. Files
// holding more sequences than the run can take are refused (check_capacity) right after the count,
// once the reader's own
// "\tErr: Too many sequences" has been printed. A sequence keeps its first 5998 residues.
#pragma once
#include <cstdio>

#include "console/work_area.h"

enum class ReaderMember { FormatFile, GetData, GetDataNg, GetTestData };

// The shared reading steps of every member (count, sample, clean, store).
void read_sequences(InputTables& t, Console& con, FILE* in, ReaderMember member);

// "ma": Tot, Sam (the run sets Sam to 4000 before); at most 8000 sequences.
void get_data(InputTables& t, Console& con, FILE* in);
// "ng": Tot, Sam, and SLst; at most 4000 sequences.
void get_data_ng(InputTables& t, Console& con, FILE* in);
// "ddsm" test set: Tot1, Sam1, SLstT; at most 400 sequences; a final non-letter of each
// sequence is removed; a sequence over 5998 residues ends the program (status 1).
void get_test_data(InputTables& t, Console& con, FILE* in);
