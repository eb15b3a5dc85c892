#include "app/png_writer.h"

#include <algorithm>
#include <cstdint>

namespace {

uint32_t crc32(const std::string& data, size_t from) {
  static uint32_t table[256];
  static bool ready = false;
  if (!ready) {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    ready = true;
  }
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = from; i < data.size(); ++i) {
    crc = table[(crc ^ static_cast<uint8_t>(data[i])) & 0xFF] ^ (crc >> 8);
  }
  return crc ^ 0xFFFFFFFFu;
}

void putBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void chunk(std::string& png, const char* type, const std::string& data) {
  putBigEndian(png, static_cast<uint32_t>(data.size()));
  const size_t start = png.size();
  png += type;
  png += data;
  putBigEndian(png, crc32(png, start));
}

// A zlib stream of stored (uncompressed) blocks.
std::string zlibStored(const std::string& raw) {
  std::string out = "\x78\x01";
  const size_t kBlock = 65535;
  size_t at = 0;
  do {
    const size_t length = std::min(kBlock, raw.size() - at);
    const bool last = at + length == raw.size();
    out += static_cast<char>(last ? 1 : 0);
    out += static_cast<char>(length & 0xFF);
    out += static_cast<char>(length >> 8);
    out += static_cast<char>(~length & 0xFF);
    out += static_cast<char>((~length >> 8) & 0xFF);
    out.append(raw, at, length);
    at += length;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (char c : raw) {
    a = (a + static_cast<uint8_t>(c)) % 65521;
    b = (b + a) % 65521;
  }
  putBigEndian(out, (b << 16) | a);
  return out;
}

}  // namespace

std::string EncodePng(int width, int height, const std::vector<Color>& pixels) {
  std::string header;
  putBigEndian(header, static_cast<uint32_t>(width));
  putBigEndian(header, static_cast<uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, no interlace

  std::string raw;
  raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
  for (int y = 0; y < height; ++y) {
    raw += '\0';  // no filter
    for (int x = 0; x < width; ++x) {
      const Color c = pixels[static_cast<size_t>(y) * width + x];
      raw += static_cast<char>(c & 0xFF);
      raw += static_cast<char>((c >> 8) & 0xFF);
      raw += static_cast<char>((c >> 16) & 0xFF);
    }
  }
  std::string png = "\x89PNG\r\n\x1a\n";
  chunk(png, "IHDR", header);
  chunk(png, "IDAT", zlibStored(raw));
  chunk(png, "IEND", "");
  return png;
}
