#include "core/engine_progress.h"

#include <string>

#include "core/progress.h"

namespace progress {

ProgressFn engine() {
  if (!enabled()) return {};  // callers skip an empty function: nothing is formatted
  return [](const Progress& p) {
    std::string line(p.step);
    if (p.done > 0 || p.total > 0 || !p.unit.empty()) {
      line += ": " + std::to_string(p.done);
      if (p.total > 0) line += " of " + std::to_string(p.total);
      if (!p.unit.empty()) line += " " + std::string(p.unit);
    }
    if (p.found > 0) line += ", " + std::to_string(p.found) + " found";
    show("%s", line.c_str());
  };
}

}  // namespace progress
