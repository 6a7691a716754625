#include "core/work_area.h"

#include <algorithm>

uint32_t DDEntry::presence_of(uint32_t seq) const {
  auto it = std::lower_bound(presence.begin(), presence.end(), std::make_pair(seq, 0u));
  return it != presence.end() && it->first == seq ? it->second : 0;
}

void DescriptorTable::add(std::string text, std::string className) {
  MLst.push_back(std::move(text));
  CLst.push_back(0.0f);
  CLst2.push_back(0);
  CLst3.push_back(std::move(className));
  ++NbMSDD;
}
