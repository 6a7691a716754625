// The spinner's moves.
#include "console/spinner.h"

#include <algorithm>

void Spinner::advance(uint64_t calls, std::string& out) {
  constexpr int kPeriod = 101;
  while (calls > 0) {
    const uint64_t step = std::min<uint64_t>(calls, static_cast<uint64_t>(kPeriod - counter));
    counter = static_cast<int16_t>(static_cast<uint64_t>(counter) + step);
    calls -= step;
    if (counter > 100) {
      counter = 0;
      K = static_cast<uint8_t>((K + 1) % 4);
      out += A[K];
      out += '\b';
    }
  }
}
