#include "cache/stream_reader.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

#include "cache/le_bytes.h"

namespace {
// Bytes read at once while a long block or string comes in.
constexpr size_t kPiece = 64 * 1024;
}  // namespace

size_t StreamReader::readSome(uint8_t* out, size_t count) {
  size_t done = std::min(count, pending_.size() - pendingAt_);
  if (done > 0) {
    std::memcpy(out, pending_.data() + pendingAt_, done);
    pendingAt_ += done;
  }
  std::streambuf* source = in_.rdbuf();
  while (done < count && source != nullptr) {
    std::streamsize got = 0;
    try {
      got = source->sgetn(reinterpret_cast<char*>(out + done),
                          static_cast<std::streamsize>(count - done));
    } catch (const std::bad_alloc&) {
      raiseMem(site::kCopyCells, count - done);
    } catch (const std::exception&) {
      // A buffer that cannot read on (a folder opened as a file raises
      // here): the stream ends.
      break;
    }
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

void StreamReader::unread(const uint8_t* bytes, size_t count) {
  if (count == 0) return;
  const size_t kept = pending_.size() - pendingAt_;
  guardAlloc(count + kept, site::kCopyCells, [&] {
    std::vector<uint8_t> joined;
    joined.reserve(count + kept);
    joined.insert(joined.end(), bytes, bytes + count);
    joined.insert(joined.end(), pending_.begin() + static_cast<std::ptrdiff_t>(pendingAt_),
                  pending_.end());
    pending_.swap(joined);
  });
  pendingAt_ = 0;
}

bool StreamReader::skipIfNext(const std::string& bytes) {
  if (ahead_.size() < bytes.size()) {
    guardAlloc(bytes.size(), site::kCopyCells, [&] { ahead_.resize(bytes.size()); });
  }
  const size_t got = readSome(ahead_.data(), bytes.size());
  if (got == bytes.size() && std::memcmp(ahead_.data(), bytes.data(), got) == 0) return true;
  unread(ahead_.data(), got);
  return false;
}

void StreamReader::read(uint8_t* out, size_t count) {
  if (count > 0 && readSome(out, count) != count) raiseInvalidStream(site::kStreamEnded);
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
  const char* end = std::find(buffer, buffer + kept, '\0');
  return guardAlloc(static_cast<uint64_t>(end - buffer) + 1, site::kTextCopy,
                    [&] { return std::string(static_cast<const char*>(buffer), end); });
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
