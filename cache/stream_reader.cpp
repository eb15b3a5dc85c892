#include "cache/stream_reader.h"

#include <algorithm>

#include "cache/le_bytes.h"

namespace {
// Bytes read at once while a long block or string comes in.
constexpr size_t kPiece = 64 * 1024;
}  // namespace

void StreamReader::read(uint8_t* out, size_t count) {
  if (count == 0) return;
  in_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
  if (static_cast<size_t>(in_.gcount()) != count) {
    raiseInvalidStream(site::kStreamEnded);
  }
}

int32_t StreamReader::readInt32() { return static_cast<int32_t>(readUInt32()); }

uint32_t StreamReader::readUInt32() {
  uint8_t bytes[4];
  read(bytes, sizeof bytes);
  return getU32(bytes);
}

int32_t StreamReader::readCount() {
  const int32_t count = readInt32();
  if (count < 0) raiseInvalidStream(site::kStreamBadRecord);
  return count;
}

std::string StreamReader::readCountedString() {
  const auto length = static_cast<uint32_t>(readCount());
  const uint32_t kept = std::min(length, kMaxKeptString);
  char buffer[kMaxKeptString];
  read(reinterpret_cast<uint8_t*>(buffer), kept);
  skip(length - kept);
  return std::string(buffer, std::find(buffer, buffer + kept, '\0'));
}

ByteBlock StreamReader::readBlock(uint32_t count, const RaiseSite& where) {
  ByteBlock block;
  size_t done = 0;
  while (done < count) {
    const size_t piece = std::min<size_t>(count - done, kPiece);
    guardAlloc(done + piece, where, [&] { block.resize(done + piece); });
    read(block.data() + done, piece);
    done += piece;
  }
  return block;
}

void StreamReader::skip(uint64_t count) {
  uint8_t scratch[4096];
  while (count > 0) {
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(count, sizeof scratch));
    read(scratch, piece);
    count -= piece;
  }
}
