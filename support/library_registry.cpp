#include "support/library_registry.h"

#include <algorithm>

LibraryRegistry& LibraryRegistry::instance() {
  static LibraryRegistry registry;
  return registry;
}

void LibraryRegistry::registerRecord(LibraryRecord* record) {
  records_.push_back(record);
}

void LibraryRegistry::unregisterRecord(LibraryRecord* record) {
  auto found = std::find(records_.begin(), records_.end(), record);
  if (found != records_.end()) records_.erase(found);
}
