#include "support/library_record.h"

#include <cstring>

#include "support/library_registry.h"

LibraryRecord::LibraryRecord(const char* name, const char* buildDate,
                             const char* sourcePath, LibraryVersion version)
    : name_(name ? name : ""),
      buildDate_(buildDate ? buildDate : ""),
      buildKind_(buildKindFromPath(sourcePath)),
      version_(version) {
  LibraryRegistry::instance().registerRecord(this);
}

LibraryRecord::~LibraryRecord() {
  LibraryRegistry::instance().unregisterRecord(this);
}

int32_t LibraryRecord::buildKindFromPath(const char* sourcePath) {
  if (sourcePath == nullptr) return kNone;
  if (std::strstr(sourcePath, "\\prod") != nullptr) return kProduction;
  if (std::strstr(sourcePath, "\\dev") != nullptr) return kDevelopment;
  return kNone;
}
