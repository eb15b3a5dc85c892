#include "archive/faulty_file_system.h"

namespace {

// Counts the writes and flushes into the target's stream.
class FaultyBuffer : public std::streambuf {
 public:
  FaultyBuffer(std::unique_ptr<std::ostream> target, FaultyFileSystem& files)
      : target_(std::move(target)), files_(files) {}
  std::unique_ptr<std::ostream> Release() { return std::move(target_); }

 protected:
  std::streamsize xsputn(const char* bytes, std::streamsize n) override {
    if (files_.Fails()) return files_.ShortWrites() ? put(bytes, n / 2) : 0;
    return put(bytes, n);
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
  }
  int sync() override {
    if (files_.Fails()) return -1;
    return target_->flush() ? 0 : -1;
  }

 private:
  std::streamsize put(const char* bytes, std::streamsize n) {
    return target_->write(bytes, n) ? n : 0;
  }

  std::unique_ptr<std::ostream> target_;
  FaultyFileSystem& files_;
};

class FaultyStream : public std::ostream {
 public:
  FaultyStream(std::unique_ptr<std::ostream> target, FaultyFileSystem& files)
      : std::ostream(nullptr), buffer_(std::move(target), files) {
    rdbuf(&buffer_);
  }
  // Flushes this stream and hands over the target's; null when the flush
  // failed.
  std::unique_ptr<std::ostream> Finish() {
    flush();
    std::unique_ptr<std::ostream> target = buffer_.Release();
    return *this ? std::move(target) : nullptr;
  }

 private:
  FaultyBuffer buffer_;
};

}  // namespace

void FaultyFileSystem::FailNth(int n, bool shortWrite) {
  failing_ = {n};
  shortWrite_ = shortWrite;
  count_ = 0;
}

bool FaultyFileSystem::Fails() { return !failing_.empty() && failing_.count(++count_) != 0; }

std::unique_ptr<std::istream> FaultyFileSystem::OpenRead(const std::string& path) {
  if (Fails()) return nullptr;
  return target_.OpenRead(path);
}

std::unique_ptr<std::ostream> FaultyFileSystem::Create(const std::string& path) {
  if (Fails()) return nullptr;
  std::unique_ptr<std::ostream> target = target_.Create(path);
  if (!target) return nullptr;
  return std::make_unique<FaultyStream>(std::move(target), *this);
}

bool FaultyFileSystem::Close(std::unique_ptr<std::ostream> stream) {
  const bool failed = Fails();
  auto* faulty = dynamic_cast<FaultyStream*>(stream.get());
  if (faulty == nullptr) return false;
  std::unique_ptr<std::ostream> target = faulty->Finish();
  // The target is closed even when this stream failed, as a file would be.
  const bool closed = target && target_.Close(std::move(target));
  return closed && !failed;
}

bool FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
  return !Fails() && target_.Rename(from, to);
}

bool FaultyFileSystem::CreateDirectories(const std::string& path) {
  return !Fails() && target_.CreateDirectories(path);
}

LockResult FaultyFileSystem::Lock(const std::string& path, std::chrono::milliseconds patience,
                                  std::unique_ptr<FileLock>* lock) {
  lock->reset();
  if (Fails()) return LockResult::kFailed;
  return target_.Lock(path, patience, lock);
}
