// The processor-time line of the ng and ma runs: "\n%\t%f seconds\n" with the processor clock's
// difference divided by 1000000.
#pragma once
#include <ctime>

#include "console/console.h"

class ProcessorClock {
 public:
  ProcessorClock() : start_(std::clock()) {}
  // Prints the processor time since the clock was made.
  void print_seconds(Console& con) const {
    con.print("\n%\t%f seconds\n", static_cast<double>(std::clock() - start_) / 1000000.0);
  }

 private:
  std::clock_t start_;
};
