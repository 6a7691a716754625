// The one operation of the typed parts that is more than a field: adding a ddsm table entry.
#include "core/work_area.h"

void DescriptorTable::add(std::string text, std::string className) {
  MLst.push_back(std::move(text));
  CLst.push_back(0.0f);
  CLst2.push_back(0);
  CLst3.push_back(std::move(className));
  ++NbMSDD;
}
