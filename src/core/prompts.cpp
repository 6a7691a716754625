#include "core/prompts.h"

#include "core/number_text.h"

namespace {
constexpr const char* kSeqPrompt1 = "%%\tEnter the file name of sequences\n";
constexpr const char* kSeqPrompt2 = "  \t(an example file can be found in file SAMPLE;";
constexpr const char* kSeqPrompt3 = "  \tmaximum number of sequences in the file is %d;\n";
constexpr const char* kSeqPrompt4 = "  \tmaximum length of sequences is %d) [Sample.txt]: ";
constexpr const char* kClassPrompt = "\n%%\tEnter the classification file: ";
constexpr const char* kOptClassPrompt1 = "\n%%\tEnter the classification file \n";
constexpr const char* kOptClassPrompt2 = "  \tif there is no classification file press ENTER: ";
constexpr const char* kContextPrompt = "\n%%\tEnter the context file name [Context.txt]: ";
constexpr const char* kThresholdPrompt1 = "\n%%\tEnter ALPHA and BETA values ( 0 <= ALPHA,BETA <= 1 )\n";
constexpr const char* kThresholdPrompt2 = "  \tdefault values[0][0]: ";
constexpr const char* kAlphaPrompt = "  \tALPHA [0]= ";
constexpr const char* kBetaPrompt = "  \tBETA [0]= ";

std::string ask_sequence_name(WorkArea& wa) {
  wa.con.print(kSeqPrompt1);
  wa.con.print(kSeqPrompt2);
  wa.con.print("\n");
  wa.con.print(kSeqPrompt3, 3000);
  wa.con.print(kSeqPrompt4, 5000);
  std::string answer = wa.con.read_answer();
  return answer.empty() ? "Sample.txt" : answer;
}

float answer_to_float(const std::string& answer) {
  return answer.empty() ? 0.0f : static_cast<float>(text_to_double(answer));
}
}  // namespace

InFile ask_sequence_file(WorkArea& wa, std::string& name) {
  for (;;) {
    name = ask_sequence_name(wa);
    if (InFile f = open_input(name)) return f;
  }
}

InFile open_or_ask_sequence_file(WorkArea& wa, std::string& name) {
  if (InFile f = open_input(name)) return f;
  return ask_sequence_file(wa, name);
}

InFile ask_classification_file(WorkArea& wa, std::string& name, bool ask_first) {
  if (!ask_first) {
    if (InFile f = open_input(name)) return f;
  }
  for (;;) {
    wa.con.print(kClassPrompt);
    name = wa.con.read_answer();
    if (InFile f = open_input(name)) return f;
  }
}

InFile ask_optional_classification_file(WorkArea& wa, std::string& name) {
  for (;;) {
    wa.con.print(kOptClassPrompt1);
    wa.con.print(kOptClassPrompt2);
    name = wa.con.read_answer();
    if (name.empty()) return InFile();
    if (InFile f = open_input(name)) return f;
  }
}

std::string ask_context_file(WorkArea& wa) {
  wa.con.print(kContextPrompt);
  std::string answer = wa.con.read_answer();
  return answer.empty() ? "Context.txt" : answer;
}

bool thresholds_in_range(float alpha, float beta) {
  return alpha >= 0 && alpha <= 1 && beta >= 0 && beta <= 1;
}

void ask_thresholds(WorkArea& wa) {
  wa.con.print(kThresholdPrompt1);
  wa.con.print(kThresholdPrompt2);
  wa.con.print("\n");
  wa.con.print(kAlphaPrompt);
  wa.ALPHA = answer_to_float(wa.con.read_answer());
  wa.con.print(kBetaPrompt);
  wa.BETA = answer_to_float(wa.con.read_answer());
}
