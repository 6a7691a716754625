#include "core/work_area.h"

#include <algorithm>

uint32_t DDEntry::presence_of(uint32_t seq) const {
  auto it = std::lower_bound(presence.begin(), presence.end(), std::make_pair(seq, 0u));
  return it != presence.end() && it->first == seq ? it->second : 0;
}
