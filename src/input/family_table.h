// The family table and the concatenated text of the descriptor runs, built from the grouping
// that FormatFile wrote to SeqFile.seq: Results (families and their sequences), T, Drapeau,
// NbFamilles, NbChaines, Longueur.
#pragma once
#include "core/work_area.h"

// Builds the tables from wa.SeqGroups and wa.P. Ends the run (status 1) when the text would
// exceed MAX_KMR - 1 residues; on exhausted memory for T prints "\n T est null" and ends.
void FillTable(WorkArea& wa);

uint32_t GetFamiliesNumber(const WorkArea& wa);

// The sequence number (1-based) holding position p of T; Drapeau must be filled.
uint32_t SequenceOfPosition(const WorkArea& wa, int64_t p);
