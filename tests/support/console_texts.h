// The program's console texts that several end-to-end tests expect, byte for byte, and the
// masking of the processor-time line, which changes from run to run.
#pragma once
#include <regex>
#include <string>

// The sequence-file prompt of every run.
inline const std::string kSeqPrompt =
    "%\tEnter the file name of sequences\n"
    "  \t(an example file can be found in file SAMPLE;\n"
    "  \tmaximum number of sequences in the file is 3000;\n"
    "  \tmaximum length of sequences is 5000) [Sample.txt]: ";
// The classification-file prompt of dd and ddsm (no default).
inline const std::string kClassPrompt = "\n%\tEnter the classification file: ";
// The optional classification-file prompt of ng and ma.
inline const std::string kOptClassPrompt =
    "\n%\tEnter the classification file \n  \tif there is no classification file press ENTER: ";
// The context-file prompt of ng and ma.
inline const std::string kContextPrompt = "\n%\tEnter the context file name [Context.txt]: ";
// The closing line of ddsm and ma.
inline const std::string kEncodingComplete =
    "\n ===>   Encoding complete, press any buton to return to menu";

// The console with the "\n%\t<time> seconds\n" line of ng and ma replaced by "\n%\tT seconds\n".
inline std::string mask_seconds(const std::string& out) {
  return std::regex_replace(out, std::regex("\n%\t[0-9]+\\.[0-9]{6} seconds\n"),
                            "\n%\tT seconds\n");
}
