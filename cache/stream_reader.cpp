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

std::streamsize StreamReader::bytesHint(std::istream& in) {
  std::streambuf* source = in.rdbuf();
  if (source == nullptr) return 0;
  try {
    return std::max<std::streamsize>(source->in_avail(), 0);
  } catch (const std::exception&) {
    return 0;
  }
}

void StreamReader::readRest(std::istream& in, std::streamsize hint, ByteBlock& bytes) {
  if (in.rdbuf() == nullptr) return;
  // A file's buffer knows how many bytes are left: they come in one read.
  // A stream that does not know grows by doubling.
  size_t done = bytes.size();
  const size_t hinted = static_cast<size_t>(hint);
  size_t wanted = hinted > done ? hinted + 1 : done + kPiece;
  for (;;) {
    guardAlloc(wanted, site::kCopyCells, [&] { bytes.resize(wanted); });
    const size_t got = readFrom(in, bytes.data() + done, wanted - done);
    done += got;
    if (done < wanted) break;
    wanted = done * 2;
  }
  bytes.resize(done);
}

size_t StreamReader::readFrom(std::istream& in, uint8_t* out, size_t count) {
  std::streambuf* source = in.rdbuf();
  if (source == nullptr || count == 0) return 0;
  std::streamsize got = 0;
  try {
    got = source->sgetn(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
  } catch (const std::bad_alloc&) {
    raiseMem(site::kCopyCells, count);
  } catch (const std::exception&) {
    got = 0;  // a buffer that cannot read on (a folder): the stream ends
  }
  return got > 0 ? static_cast<size_t>(got) : 0;
}

const uint8_t* StreamReader::take(size_t count) {
  if (count > left()) raiseInvalidStream(site::kStreamEnded);
  const uint8_t* place = at_;
  at_ += count;
  return place;
}

size_t StreamReader::readSome(uint8_t* out, size_t count) {
  if (inMemory()) {
    const size_t done = std::min(count, left());
    if (done > 0) std::memcpy(out, at_, done);
    at_ += done;
    return done;
  }
  size_t done = std::min(count, pending_.size() - pendingAt_);
  if (done > 0) {
    std::memcpy(out, pending_.data() + pendingAt_, done);
    pendingAt_ += done;
  }
  std::streambuf* source = in_->rdbuf();
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
    keep(out + done, static_cast<size_t>(got));
    done += static_cast<size_t>(got);
  }
  return done;
}

void StreamReader::keep(const uint8_t* bytes, size_t count) {
  if (kept_ == nullptr) return;
  const size_t size = kept_->size();
  if (size + count > kept_->capacity()) {
    const size_t wanted = std::max({size + count, 2 * kept_->capacity(), size_t{4096}});
    guardAlloc(wanted, site::kCopyCells, [&] { kept_->reserve(wanted); });
  }
  kept_->insert(kept_->end(), bytes, bytes + count);
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
  if (inMemory()) {
    if (left() < bytes.size() || std::memcmp(at_, bytes.data(), bytes.size()) != 0) return false;
    at_ += bytes.size();
    return true;
  }
  if (ahead_.size() < bytes.size()) {
    guardAlloc(bytes.size(), site::kCopyCells, [&] { ahead_.resize(bytes.size()); });
  }
  const size_t got = readSome(ahead_.data(), bytes.size());
  if (got == bytes.size() && std::memcmp(ahead_.data(), bytes.data(), got) == 0) return true;
  unread(ahead_.data(), got);
  return false;
}

void StreamReader::read(uint8_t* out, size_t count) {
  if (inMemory()) {
    const uint8_t* from = take(count);
    if (count > 0) std::memcpy(out, from, count);
    return;
  }
  if (count > 0 && readSome(out, count) != count) raiseInvalidStream(site::kStreamEnded);
}

int32_t StreamReader::readInt32() { return static_cast<int32_t>(readUInt32()); }

uint32_t StreamReader::readUInt32() {
  if (inMemory()) return getU32(take(4));
  uint8_t bytes[4];
  read(bytes, sizeof bytes);
  return getU32(bytes);
}

int32_t StreamReader::readCount() {
  const int32_t count = readInt32();
  if (count < 0) raiseInvalidStream(site::kStreamBadRecord);
  return count;
}

int32_t StreamReader::readCountOf(uint32_t eachAtLeast, uint32_t thenAtLeast) {
  const int32_t count = readCount();
  const uint64_t least = uint64_t{eachAtLeast} * static_cast<uint64_t>(count) + thenAtLeast;
  if (least > leftAtMost()) raiseInvalidStream(site::kStreamBadRecord);
  return count;
}

std::string StreamReader::readCountedString() {
  const auto length = static_cast<uint32_t>(readCount());
  if (length > leftAtMost()) raiseInvalidStream(site::kStreamEnded);
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
  if (inMemory()) {
    take(static_cast<size_t>(std::min<uint64_t>(count, left() + 1)));
    return;
  }
  uint8_t scratch[4096];
  while (count > 0) {
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(count, sizeof scratch));
    read(scratch, piece);
    count -= piece;
  }
}
