// The build record of one internal library: its name, build date, build
// kind and version. Every record enrols itself in the LibraryRegistry when it
// is built and leaves it when it is destroyed.
#pragma once

#include <cstdint>
#include <string>

struct LibraryVersion {
  int32_t first = 0;
  int32_t second = 0;
  int32_t third = 0;
};

class LibraryRecord {
 public:
  enum BuildKind : int32_t { kNone = 0, kDevelopment = 1, kProduction = 2 };

  // Stores name and build date (a null text stores an empty string), derives
  // the build kind from `sourcePath` (which is not kept), copies the version
  // and registers the record with LibraryRegistry::instance().
  // `buildDate` has the compiler's date-stamp form, "Dec  8 2026".
  LibraryRecord(const char* name, const char* buildDate,
                const char* sourcePath, LibraryVersion version);
  // Unregisters the record.
  virtual ~LibraryRecord();

  LibraryRecord(const LibraryRecord&) = delete;
  LibraryRecord& operator=(const LibraryRecord&) = delete;

  // 2 when the path contains "\prod", else 1 when it contains "\dev", else 0.
  // Case-sensitive; a null or empty path gives 0.
  static int32_t buildKindFromPath(const char* sourcePath);

  const std::string& name() const { return name_; }
  const std::string& buildDate() const { return buildDate_; }
  int32_t buildKind() const { return buildKind_; }
  const LibraryVersion& version() const { return version_; }

 private:
  std::string name_;
  std::string buildDate_;
  int32_t buildKind_;
  LibraryVersion version_;
};
