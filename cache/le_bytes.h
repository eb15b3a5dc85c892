// Little-endian reading and writing of the integers and doubles in cell
// bytes and table streams, independent of the host's byte order and of
// alignment.
#pragma once

#include <cstdint>
#include <cstring>

inline uint16_t getU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t getU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

inline int32_t getI32(const uint8_t* p) {
  return static_cast<int32_t>(getU32(p));
}

inline void putU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

inline void putU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline double getDouble(const uint8_t* p) {
  const uint64_t bits = static_cast<uint64_t>(getU32(p)) |
                        (static_cast<uint64_t>(getU32(p + 4)) << 32);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline void putDouble(uint8_t* p, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  putU32(p, static_cast<uint32_t>(bits));
  putU32(p + 4, static_cast<uint32_t>(bits >> 32));
}
