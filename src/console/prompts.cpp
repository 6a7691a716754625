// The prompts several runs share.
#include "console/prompts.h"

#include "console/number_text.h"

namespace {
constexpr const char* kSeqPrompt1 = "%%\tEnter the file name of sequences\n";
constexpr const char* kSeqPrompt2 = "  \t(an example file can be found in file SAMPLE;";
constexpr const char* kSeqPrompt3 = "  \tmaximum number of sequences in the file is %d;\n";
constexpr const char* kSeqPrompt4 = "  \tmaximum length of sequences is %d) [Sample.txt]: ";
constexpr const char* kSeqDefault = "Sample.txt";
constexpr const char* kClassPrompt = "\n%%\tEnter the classification file: ";
constexpr const char* kOptClassPrompt1 = "\n%%\tEnter the classification file \n";
constexpr const char* kOptClassPrompt2 = "  \tif there is no classification file press ENTER: ";
constexpr const char* kContextPrompt = "\n%%\tEnter the context file name [Context.txt]: ";
constexpr const char* kContextDefault = "Context.txt";
constexpr const char* kThresholdPrompt1 =
    "\n%%\tEnter ALPHA and BETA values ( 0 <= ALPHA,BETA <= 1 )\n";
constexpr const char* kThresholdPrompt2 = "  \tdefault values[0][0]: ";
constexpr const char* kAlphaPrompt = "  \tALPHA [0]= ";
constexpr const char* kBetaPrompt = "  \tBETA [0]= ";

std::string ask_sequence_name(Console& con) {
  con.print(kSeqPrompt1);
  con.print(kSeqPrompt2);
  con.print("\n");
  con.print(kSeqPrompt3, 3000);
  con.print(kSeqPrompt4, 5000);
  std::string answer = con.read_answer();
  return answer.empty() ? kSeqDefault : answer;
}

float answer_to_float(const std::string& answer) {
  return answer.empty() ? 0.0f : static_cast<float>(text_to_double(answer));
}
}  // namespace

std::string ask_with_default(Console& con, std::initializer_list<const char*> lines,
                             const std::string& fallback) {
  for (const char* line : lines) con.print(line);
  std::string answer = con.read_answer();
  return answer.empty() ? fallback : answer;
}

InFile ask_sequence_file(Console& con, std::string& name) {
  for (;;) {
    name = ask_sequence_name(con);
    if (InFile f = open_input(name)) return f;
  }
}

InFile open_or_ask_sequence_file(Console& con, std::string& name) {
  if (InFile f = open_input(name)) return f;
  return ask_sequence_file(con, name);
}

InFile ask_classification_file(Console& con, std::string& name, bool ask_first) {
  if (!ask_first) {
    if (InFile f = open_input(name)) return f;
  }
  for (;;) {
    con.print(kClassPrompt);
    name = con.read_answer();
    if (InFile f = open_input(name)) return f;
  }
}

InFile ask_optional_classification_file(Console& con, std::string& name) {
  for (;;) {
    name = ask_with_default(con, {kOptClassPrompt1, kOptClassPrompt2}, "");
    if (name.empty()) return InFile();
    if (InFile f = open_input(name)) return f;
  }
}

std::string ask_context_file(Console& con) {
  return ask_with_default(con, {kContextPrompt}, kContextDefault);
}

bool thresholds_in_range(float alpha, float beta) {
  return alpha >= 0 && alpha <= 1 && beta >= 0 && beta <= 1;
}

void ask_thresholds(Console& con, Settings& s) {
  con.print(kThresholdPrompt1);
  con.print(kThresholdPrompt2);
  con.print("\n");
  con.print(kAlphaPrompt);
  s.ALPHA = answer_to_float(con.read_answer());
  con.print(kBetaPrompt);
  s.BETA = answer_to_float(con.read_answer());
}
