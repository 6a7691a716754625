// The prompts that several runs share: answers with a default, file names and the two
// thresholds. Every answer is read by Console::read_answer, so the end of input ends the run
// instead of looping.
#pragma once
#include <string>

#include "console/console.h"
#include "console/work_area.h"
#include "core/files.h"

// Prints the prompt lines in order and reads one answer; an empty answer means `fallback`.
std::string ask_with_default(Console& con, std::initializer_list<const char*> lines,
                             const std::string& fallback);

// The four-line sequence-file prompt; an empty answer means "Sample.txt"; asked again until the
// file opens. `name` receives the name that opened.
InFile ask_sequence_file(Console& con, std::string& name);
// Opens `name`; while it cannot be opened, asks with the sequence-file prompt.
InFile open_or_ask_sequence_file(Console& con, std::string& name);

// "\n%%\tEnter the classification file: ", asked until the file opens (no default). With
// ask_first false, `name` is tried first and the prompt comes only when it fails.
InFile ask_classification_file(Console& con, std::string& name, bool ask_first);

// The optional classification file of the ng and ma runs: an empty answer means none (an empty
// InFile and an empty name); a name that cannot be opened is asked again.
InFile ask_optional_classification_file(Console& con, std::string& name);

// The context file name of the ng and ma runs; an empty answer means "Context.txt".
std::string ask_context_file(Console& con);

// True when both thresholds lie in 0..1 (a value that is not a number is out of range).
bool thresholds_in_range(float alpha, float beta);
// One round of the threshold prompt: the announcement, then ALPHA and BETA (empty means 0).
void ask_thresholds(Console& con, Settings& s);
