#include "archive/memory_file_system.h"

#include <sstream>

#include "archive/path_text.h"

namespace {

// Writes straight into the file's bytes, wherever the file has moved since.
class MemoryBuffer : public std::streambuf {
 public:
  explicit MemoryBuffer(std::shared_ptr<std::string> bytes) : bytes_(std::move(bytes)) {}

 protected:
  std::streamsize xsputn(const char* data, std::streamsize count) override {
    bytes_->append(data, static_cast<size_t>(count));
    return count;
  }
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) bytes_->push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }

 private:
  std::shared_ptr<std::string> bytes_;
};

class MemoryStream : public std::ostream {
 public:
  explicit MemoryStream(std::shared_ptr<std::string> bytes)
      : std::ostream(nullptr), buffer_(std::move(bytes)) {
    rdbuf(&buffer_);
  }

 private:
  MemoryBuffer buffer_;
};

// Marks its path as locked while it lives.
class MemoryLock : public FileLock {
 public:
  MemoryLock(std::shared_ptr<std::set<std::string>> locked, std::string path)
      : locked_(std::move(locked)), path_(std::move(path)) {
    locked_->insert(path_);
  }
  ~MemoryLock() override { locked_->erase(path_); }

 private:
  std::shared_ptr<std::set<std::string>> locked_;
  std::string path_;
};

}  // namespace

std::string MemoryFileSystem::Normal(const std::string& path) {
  std::string normal = path;
  while (normal.size() > 1 && normal.back() == kPathSeparator) normal.pop_back();
  return normal;
}

std::string MemoryFileSystem::Parent(const std::string& normal) {
  const size_t last = normal.rfind(kPathSeparator);
  return last == std::string::npos ? std::string() : normal.substr(0, last);
}

bool MemoryFileSystem::HasDirectory(const std::string& normal) const {
  return normal.empty() || directories_.count(normal) != 0;
}

std::unique_ptr<std::istream> MemoryFileSystem::OpenRead(const std::string& path) {
  const auto found = files_.find(Normal(path));
  if (found == files_.end()) return nullptr;
  return std::make_unique<std::istringstream>(*found->second);
}

std::unique_ptr<std::ostream> MemoryFileSystem::Create(const std::string& path) {
  const std::string normal = Normal(path);
  if (!HasDirectory(Parent(normal)) || directories_.count(normal) != 0) return nullptr;
  Bytes& bytes = files_[normal];
  bytes = std::make_shared<std::string>();
  return std::make_unique<MemoryStream>(bytes);
}

bool MemoryFileSystem::Close(std::unique_ptr<std::ostream> stream) {
  if (dynamic_cast<MemoryStream*>(stream.get()) == nullptr) return false;
  stream->flush();
  return static_cast<bool>(*stream);
}

bool MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  const std::string source = Normal(from);
  const std::string target = Normal(to);
  const auto found = files_.find(source);
  if (found == files_.end() || !HasDirectory(Parent(target)) || directories_.count(target) != 0) {
    return false;
  }
  Bytes bytes = found->second;
  files_.erase(found);
  files_[target] = std::move(bytes);
  return true;
}

bool MemoryFileSystem::Remove(const std::string& path) { return files_.erase(Normal(path)) != 0; }

bool MemoryFileSystem::CreateDirectories(const std::string& path) {
  const std::string normal = Normal(path);
  if (normal.empty() || HasDirectory(normal)) return true;
  if (files_.count(normal) != 0 || !CreateDirectories(Parent(normal))) return false;
  directories_.insert(normal);
  return true;
}

bool MemoryFileSystem::List(const std::string& path, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  const std::string normal = Normal(path);
  if (!HasDirectory(normal)) return false;
  const size_t skip = normal.empty() ? 0 : normal.size() + 1;
  for (const std::string& directory : directories_) {
    if (Parent(directory) == normal) entries->push_back({directory.substr(skip), true});
  }
  for (const auto& [file, bytes] : files_) {
    if (Parent(file) == normal) entries->push_back({file.substr(skip), false});
  }
  return true;
}

PathKind MemoryFileSystem::Kind(const std::string& path) {
  const std::string normal = Normal(path);
  if (files_.count(normal) != 0) return PathKind::kFile;
  return directories_.count(normal) != 0 ? PathKind::kDirectory : PathKind::kNone;
}

LockResult MemoryFileSystem::Lock(const std::string& path, std::chrono::milliseconds,
                                  std::unique_ptr<FileLock>* lock) {
  lock->reset();
  const std::string normal = Normal(path);
  if (!HasDirectory(Parent(normal)) || directories_.count(normal) != 0) return LockResult::kFailed;
  if (locked_->count(normal) != 0) return LockResult::kBusy;
  *lock = std::make_unique<MemoryLock>(locked_, normal);
  return LockResult::kTaken;
}

void MemoryFileSystem::WriteFile(const std::string& path, const std::string& bytes) {
  const std::string normal = Normal(path);
  CreateDirectories(Parent(normal));
  files_[normal] = std::make_shared<std::string>(bytes);
}

std::string MemoryFileSystem::FileBytes(const std::string& path) const {
  const auto found = files_.find(Normal(path));
  return found == files_.end() ? std::string() : *found->second;
}

std::vector<std::string> MemoryFileSystem::Files() const {
  std::vector<std::string> paths;
  for (const auto& entry : files_) paths.push_back(entry.first);
  return paths;
}
