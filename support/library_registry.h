// The one program-wide list of the internal libraries' build records.
#pragma once

#include <cstdint>
#include <list>

class LibraryRecord;

class LibraryRegistry {
 public:
  // The one registry, created on first use. Because the first record asks
  // for it while being built, the registry outlives every record.
  static LibraryRegistry& instance();

  LibraryRegistry(const LibraryRegistry&) = delete;
  LibraryRegistry& operator=(const LibraryRegistry&) = delete;

  // Appends `record`; the registry does not own it.
  void registerRecord(LibraryRecord* record);
  // Removes the first entry holding `record`; an unknown pointer changes
  // nothing.
  void unregisterRecord(LibraryRecord* record);

  uint32_t count() const { return static_cast<uint32_t>(records_.size()); }
  // The records in registration order.
  const std::list<LibraryRecord*>& records() const { return records_; }

 private:
  LibraryRegistry() = default;
  std::list<LibraryRecord*> records_;
};
