// The entry of the workflow commands (mine, encode, folds, --help, -h, --version), beside the
// console program: main hands over when the first argument is one of these words.
#pragma once

// Whether the first argument belongs to the workflow commands.
bool is_workflow_command(const char* word);

// Runs the command of argv[1]; returns the exit status.
int workflow_main(int argc, char** argv);
