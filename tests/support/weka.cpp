#include "support/weka.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <regex>

namespace {
constexpr const char* kJar = "/usr/share/java/weka.jar";

std::string shell_quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

int run(const std::string& cmd, std::string& output) {
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  if (!p) return -1;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) output.append(buf, n);
  int st = pclose(p);
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}
}  // namespace

bool weka_available() {
  if (access(kJar, R_OK) != 0) return false;
  std::string out;
  return run("java -version", out) == 0;
}

WekaResult weka_evaluate(const std::string& arff, const std::string& classifier, int folds) {
  WekaResult r;
  std::string cmd = std::string("java -Xmx2g -cp ") + kJar + " " + classifier + " -t " +
                    shell_quote(arff) + " -x " + std::to_string(folds);
  int status = run(cmd, r.output);
  // The cross-validation block comes last: take the last "Correctly Classified Instances" line.
  std::regex line(R"(Correctly Classified Instances\s+\d+\s+([0-9.]+)\s*%)");
  double acc = -1;
  for (std::sregex_iterator it(r.output.begin(), r.output.end(), line), end; it != end; ++it)
    acc = std::stod((*it)[1]);
  r.ok = status == 0 && acc >= 0;
  r.accuracy = acc < 0 ? 0 : acc;
  return r;
}

bool weka_parses(const std::string& arff, std::string* output) {
  std::string out;
  int status =
      run(std::string("java -cp ") + kJar + " weka.core.Instances " + shell_quote(arff), out);
  if (output) *output = out;
  return status == 0 && out.find("Exception") == std::string::npos;
}

WekaResult weka_train_test(const std::string& train, const std::string& test,
                           const std::string& classifier) {
  WekaResult r;
  const std::string cmd = std::string("java -Xmx2g -cp ") + kJar + " " + classifier + " -t " +
                          shell_quote(train) + " -T " + shell_quote(test);
  const int status = run(cmd, r.output);
  // The test set's block comes last.
  std::regex line(R"(Correctly Classified Instances\s+\d+\s+([0-9.]+)\s*%)");
  double acc = -1;
  for (std::sregex_iterator it(r.output.begin(), r.output.end(), line), end; it != end; ++it)
    acc = std::stod((*it)[1]);
  r.ok =
      status == 0 && acc >= 0 && r.output.find("=== Error on test data ===") != std::string::npos;
  r.accuracy = acc < 0 ? 0 : acc;
  return r;
}
