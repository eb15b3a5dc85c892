// How the archive fuzz target lays its input out as an archive: the first
// two bytes (little-endian) give the length of the RACES.SAV part, which
// follows; everything after it is the turn file. Shared by the target and
// the program that writes its seeds.
#pragma once

#include <cstdint>
#include <string>

namespace fuzzing {

struct ArchiveLayout {
  std::string races;  // the bytes of RACES.SAV
  std::string turn;   // the bytes of the turn file
};

inline ArchiveLayout SplitArchiveInput(const uint8_t* data, size_t size) {
  if (size < 2) return ArchiveLayout{std::string(), std::string(reinterpret_cast<const char*>(data), size)};
  size_t racesLength = data[0] | (static_cast<size_t>(data[1]) << 8);
  if (racesLength > size - 2) racesLength = size - 2;
  const char* bytes = reinterpret_cast<const char*>(data) + 2;
  return ArchiveLayout{std::string(bytes, racesLength),
                       std::string(bytes + racesLength, size - 2 - racesLength)};
}

inline std::string JoinArchiveInput(const ArchiveLayout& layout) {
  const size_t length = layout.races.size() & 0xFFFF;
  std::string input;
  input += static_cast<char>(length & 0xFF);
  input += static_cast<char>(length >> 8);
  return input + layout.races.substr(0, length) + layout.turn;
}

}  // namespace fuzzing
