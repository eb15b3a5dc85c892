#include "archive/file_system.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <thread>

#include "archive/path_text.h"

// The platform's own calls for the process id, removing a file and
// locking one. On Windows they come from the C runtime, so that the
// Windows API's headers stay in win32/.
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/locking.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

// How long a waiting Lock sleeps between two attempts.
constexpr std::chrono::milliseconds kLockPoll(5);

// Calls `attempt` (which reports a LockResult) until it takes the lock or
// fails, or until `patience` has passed while the lock was busy.
template <class Attempt>
LockResult retryLock(std::chrono::milliseconds patience, Attempt attempt) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    const LockResult result = attempt();
    if (result != LockResult::kBusy) return result;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return LockResult::kBusy;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(kLockPoll, deadline - now));
  }
}

#if defined(_WIN32)

// Holds the lock of the first byte of an open file; closing the file
// ends it.
class WindowsFileLock : public FileLock {
 public:
  explicit WindowsFileLock(int file) : file_(file) {}
  ~WindowsFileLock() override {
    _lseek(file_, 0, SEEK_SET);
    _locking(file_, _LK_UNLCK, 1);
    _close(file_);
  }

 private:
  int file_;
};

LockResult lockFile(const std::string& path, std::chrono::milliseconds patience,
                    std::unique_ptr<FileLock>* lock) {
  // The byte lock (LockFile underneath), not a sharing mode, is what
  // others wait for. Programs this one starts do not inherit the file
  // (_O_NOINHERIT), so the lock ends with this process.
  const int file = _wopen(ToPath(path).c_str(), _O_RDWR | _O_CREAT | _O_BINARY | _O_NOINHERIT,
                          _S_IREAD | _S_IWRITE);
  if (file < 0) return LockResult::kFailed;
  const LockResult result = retryLock(patience, [&] {
    if (_lseek(file, 0, SEEK_SET) != 0) return LockResult::kFailed;
    // Wine's C runtime sets no errno when the byte is locked already: a
    // failure without one counts as a held lock too (the file is open).
    errno = 0;
    if (_locking(file, _LK_NBLCK, 1) == 0) return LockResult::kTaken;
    return errno == 0 || errno == EACCES || errno == EDEADLOCK ? LockResult::kBusy
                                                               : LockResult::kFailed;
  });
  if (result == LockResult::kTaken) {
    *lock = std::make_unique<WindowsFileLock>(file);
  } else {
    _close(file);
  }
  return result;
}

uint32_t processId() { return static_cast<uint32_t>(_getpid()); }

// _wunlink, unlike std::filesystem::remove, leaves a directory alone.
bool removeFile(const std::string& path) { return _wunlink(ToPath(path).c_str()) == 0; }

#else

// Holds the flock of an open descriptor; closing the descriptor ends it.
class PosixFileLock : public FileLock {
 public:
  explicit PosixFileLock(int file) : file_(file) {}
  ~PosixFileLock() override { ::close(file_); }

 private:
  int file_;
};

LockResult lockFile(const std::string& path, std::chrono::milliseconds patience,
                    std::unique_ptr<FileLock>* lock) {
  // flock, not fcntl: its lock belongs to this open file, so two opens in
  // one process exclude each other as two processes do. Programs this one
  // starts do not inherit the descriptor (O_CLOEXEC).
  const int file = ::open(ToPath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (file < 0) return LockResult::kFailed;
  const LockResult result = retryLock(patience, [&] {
    if (::flock(file, LOCK_EX | LOCK_NB) == 0) return LockResult::kTaken;
    return errno == EWOULDBLOCK || errno == EINTR ? LockResult::kBusy : LockResult::kFailed;
  });
  if (result == LockResult::kTaken) {
    *lock = std::make_unique<PosixFileLock>(file);
  } else {
    ::close(file);
  }
  return result;
}

uint32_t processId() { return static_cast<uint32_t>(::getpid()); }

// unlink, unlike std::filesystem::remove, leaves a directory alone.
bool removeFile(const std::string& path) { return ::unlink(ToPath(path).c_str()) == 0; }

#endif

class PlatformFileSystem : public FileSystem {
 public:
  bool ReadsInParallel() override { return true; }

  std::unique_ptr<std::istream> OpenRead(const std::string& path) override {
    if (Kind(path) != PathKind::kFile) return nullptr;
    auto file = std::make_unique<std::ifstream>(ToPath(path), std::ios::binary);
    if (!file->is_open()) return nullptr;
    return file;
  }

  std::unique_ptr<std::ostream> Create(const std::string& path) override {
    auto file = std::make_unique<std::ofstream>(ToPath(path), std::ios::binary | std::ios::trunc);
    if (!file->is_open()) return nullptr;
    return file;
  }

  bool Close(std::unique_ptr<std::ostream> stream) override {
    auto* file = dynamic_cast<std::ofstream*>(stream.get());
    if (file == nullptr) return false;
    file->flush();
    const bool written = static_cast<bool>(*file);
    file->close();
    return written && !file->fail();
  }

  bool Rename(const std::string& from, const std::string& to) override {
    std::error_code error;
    std::filesystem::rename(ToPath(from), ToPath(to), error);
    return !error;
  }

  bool Remove(const std::string& path) override { return removeFile(path); }

  bool CreateDirectories(const std::string& path) override {
    std::error_code error;
    std::filesystem::create_directories(ToPath(path), error);
    return !error && std::filesystem::is_directory(ToPath(path), error);
  }

  bool List(const std::string& path, std::vector<DirectoryEntry>* entries) override {
    entries->clear();
    std::error_code error;
    std::filesystem::directory_iterator it(ToPath(path), error);
    if (error) return false;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
      DirectoryEntry entry;
      if (!FromPath(it->path().filename(), &entry.name)) continue;
      std::error_code ignored;
      entry.isDirectory = it->is_directory(ignored);
      entries->push_back(std::move(entry));
    }
    return !error;
  }

  PathKind Kind(const std::string& path) override {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(ToPath(path), error);
    if (error || !std::filesystem::exists(status)) return PathKind::kNone;
    if (std::filesystem::is_directory(status)) return PathKind::kDirectory;
    return std::filesystem::is_regular_file(status) ? PathKind::kFile : PathKind::kOther;
  }

  uint32_t ProcessId() override { return processId(); }

  uint64_t NextSerial() override { return ++serial_; }

  LockResult Lock(const std::string& path, std::chrono::milliseconds patience,
                  std::unique_ptr<FileLock>* lock) override {
    lock->reset();
    return lockFile(path, patience, lock);
  }

 private:
  std::atomic<uint64_t> serial_{0};
};

}  // namespace

FileSystem& FileSystem::Default() {
  static PlatformFileSystem platform;
  return platform;
}
