// Checked reading of a table stream.
//
// Every read either gets all the bytes it asks for or raises
// LExc_Internal_Unexpected "invalid stream", and long blocks are read in
// bounded pieces, so that a damaged length field can never make the reader
// allocate much more than the stream really holds. The stream's buffer is
// only read, never sought or asked for its state.
//
// A reader of bytes in memory (a stream read in as few pieces as its
// buffer allows, or those of it read so far) reads the same way, can also
// hand out bytes in place (take), and refuses a count or length that the
// bytes left could not hold before anything is made for it.
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
  // A reader of `in` that appends every byte it takes from `in` to
  // `*kept` (bytes put back with unread are not kept twice), so that what
  // it has read can be decoded again in memory. `in` and `kept` must
  // outlive the reader; allocation failures raise LExc_Internal_Mem.
  StreamReader(std::istream& in, ByteBlock* kept) : in_(&in), kept_(kept) {}
  // A reader of the `size` bytes at `bytes`, which must outlive it.
  StreamReader(const uint8_t* bytes, size_t size) : at_(bytes), end_(bytes + size) {}

  // The bytes `in` says are left to read (std::streambuf::in_avail: for a
  // file or a string, all of them); 0 when it does not say. Only a hint
  // for the size of a read: a buffer may hold more than it says.
  static std::streamsize bytesHint(std::istream& in);
  // Appends what is left of `in` to `bytes`, in as few reads as its buffer
  // allows (one for a file): `hint` is what bytesHint said before the
  // first `bytes.size()` bytes were read from `in`. Allocation failures
  // raise LExc_Internal_Mem.
  static void readRest(std::istream& in, std::streamsize hint, ByteBlock& bytes);
  // Reads up to `count` bytes of `in` into `out` in one call of its
  // buffer, which gives fewer only where the stream ends: the bytes read,
  // 0 at the end and for a buffer that cannot read on. Allocation failures
  // raise LExc_Internal_Mem.
  static size_t readFrom(std::istream& in, uint8_t* out, size_t count);

  // True for a reader of bytes in memory.
  bool inMemory() const { return in_ == nullptr; }
  // Bytes not read yet of a reader in memory.
  size_t left() const { return static_cast<size_t>(end_ - at_); }
  // The most bytes the reader can still give: left() in memory; without
  // limit for a stream, which does not say its length for sure.
  uint64_t leftAtMost() const { return inMemory() ? left() : UINT64_MAX; }
  // The next `count` bytes in place, read. REQUIRES inMemory().
  const uint8_t* take(size_t count);
  // The next byte in place, not read; left() bytes follow from it.
  // REQUIRES inMemory().
  const uint8_t* peek() const { return at_; }

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
  // A count of items that take at least `eachAtLeast` bytes each and are
  // followed by at least `thenAtLeast` bytes: negative, or more than
  // leftAtMost() could hold, raises "invalid stream".
  int32_t readCountOf(uint32_t eachAtLeast, uint32_t thenAtLeast);
  // A counted string: a 32-bit length, then that many bytes. Keeps at most
  // kMaxKeptString bytes, up to the first zero byte among them. A length
  // beyond leftAtMost() raises "invalid stream".
  std::string readCountedString();
  // A block of exactly `count` bytes; allocation failures raise
  // LExc_Internal_Mem at `where`.
  ByteBlock readBlock(uint32_t count, const RaiseSite& where);

 private:
  void skip(uint64_t count);
  // Appends `count` bytes just taken from the stream to `*kept_`.
  void keep(const uint8_t* bytes, size_t count);

  std::istream* in_ = nullptr;  // null for bytes in memory
  ByteBlock* kept_ = nullptr;   // where bytes taken from in_ go too, or null
  const uint8_t* at_ = nullptr;  // in memory: the next byte
  const uint8_t* end_ = nullptr;
  std::vector<uint8_t> pending_;  // bytes put back, from pendingAt_ on
  size_t pendingAt_ = 0;
  std::vector<uint8_t> ahead_;    // the bytes skipIfNext looks at
};
