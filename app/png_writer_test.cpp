#include "app/png_writer.h"

#include <gtest/gtest.h>

namespace {

uint32_t bigEndian(const std::string& s, size_t at) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(s[at])) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(s[at + 1])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(s[at + 2])) << 8) |
         static_cast<uint8_t>(s[at + 3]);
}

TEST(Png, HeaderAndStoredPixels) {
  const std::vector<Color> pixels = {Rgb(1, 2, 3), Rgb(4, 5, 6), Rgb(7, 8, 9), Rgb(0, 221, 221)};
  const std::string png = EncodePng(2, 2, pixels);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(bigEndian(png, 8), 13u);
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(bigEndian(png, 16), 2u);
  EXPECT_EQ(bigEndian(png, 20), 2u);
  EXPECT_EQ(bigEndian(png, 29), 0xFDD49A73u);  // the header's CRC, as zlib's crc32 gives it
  // IDAT: zlib header, one stored block of 14 bytes (2 rows of filter + RGB).
  const size_t idat = 33;
  EXPECT_EQ(png.substr(idat + 4, 4), "IDAT");
  const std::string data = png.substr(idat + 8, bigEndian(png, idat));
  EXPECT_EQ(data.substr(0, 2), "\x78\x01");
  EXPECT_EQ(data.substr(2, 5), std::string("\x01\x0e\x00\xf1\xff", 5));
  EXPECT_EQ(data.substr(7, 14), std::string("\0\1\2\3\4\5\6\0\7\x08\x09\0\xdd\xdd", 14));
  EXPECT_EQ(bigEndian(data, 21), 0x03E601E8u);  // zlib's adler32 of those bytes
  EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12));
}

}  // namespace
