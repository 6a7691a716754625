// The entry of the workflow commands (mine, encode, folds, help, --help, -h, --version), beside
// the console program: main hands over when the first argument is one of these words, or looks
// like a mistyped one.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// Whether the first argument names a workflow command or flag.
bool is_workflow_command(const char* word);
// Whether it is meant for the workflow but mistyped: an option that is none of ours, or a word
// one or two letters off a command (case ignored). The console's keywords are the caller's to
// keep out.
bool is_workflow_typo(const char* word);

// Runs the command of argv[1]; returns the exit status.
int workflow_main(int argc, char** argv);

// The help of a command (the top help for any other name), and the options its parser takes.
std::string workflow_help(std::string_view command);
std::vector<std::string> workflow_options(std::string_view command);
