// Checked reading of a table stream.
//
// Every read either gets all the bytes it asks for or raises
// LExc_Internal_Unexpected "invalid stream", and long blocks are read in
// bounded pieces, so that a damaged length field can never make the reader
// allocate much more than the stream really holds. The stream's buffer is
// only read, never sought or asked for its state.
//
// A reader of bytes in memory (a whole stream read in one piece, as much at
// once as the stream's buffer says it holds) reads the same way, and can
// also hand out bytes in place (take).
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "cache/cache_alloc.h"

class StreamReader {
 public:
  // Longest counted string kept; longer ones are read and their rest skipped.
  static constexpr uint32_t kMaxKeptString = 9999;

  // `in` must outlive the reader.
  explicit StreamReader(std::istream& in) : in_(&in) {}
  // A reader of the `size` bytes at `bytes`, which must outlive it.
  StreamReader(const uint8_t* bytes, size_t size) : at_(bytes), end_(bytes + size) {}

  // Reads what is left of `in` in one piece, as few reads as its buffer
  // allows (one for a file). Allocation failures raise LExc_Internal_Mem.
  static ByteBlock readWhole(std::istream& in);

  // True for a reader of bytes in memory.
  bool inMemory() const { return in_ == nullptr; }
  // Bytes not read yet of a reader in memory.
  size_t left() const { return static_cast<size_t>(end_ - at_); }
  // The next `count` bytes in place, read. REQUIRES inMemory().
  const uint8_t* take(size_t count);

  // Exactly `count` bytes into `out`.
  void read(uint8_t* out, size_t count);
  // Up to `count` bytes into `out`; fewer only where the stream ends.
  size_t readSome(uint8_t* out, size_t count);
  // Puts `count` bytes back: the next reads take them first.
  void unread(const uint8_t* bytes, size_t count);
  // True, and the bytes read, when the stream goes on with exactly
  // `bytes`; else false with nothing read.
  bool skipIfNext(const std::string& bytes);
  int32_t readInt32();
  uint32_t readUInt32();
  // A 32-bit count or length that must not be negative.
  int32_t readCount();
  // A counted string: a 32-bit length, then that many bytes. Keeps at most
  // kMaxKeptString bytes, up to the first zero byte among them.
  std::string readCountedString();
  // A block of exactly `count` bytes; allocation failures raise
  // LExc_Internal_Mem at `where`.
  ByteBlock readBlock(uint32_t count, const RaiseSite& where);

 private:
  void skip(uint64_t count);

  std::istream* in_ = nullptr;  // null for bytes in memory
  const uint8_t* at_ = nullptr;  // in memory: the next byte
  const uint8_t* end_ = nullptr;
  std::vector<uint8_t> pending_;  // bytes put back, from pendingAt_ on
  size_t pendingAt_ = 0;
  std::vector<uint8_t> ahead_;    // the bytes skipIfNext looks at
};
