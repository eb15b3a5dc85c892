#include "archive/file_system.h"

#include <filesystem>
#include <fstream>

#include "archive/path_text.h"

namespace {

class PlatformFileSystem : public FileSystem {
 public:
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

  bool Remove(const std::string& path) override {
    std::error_code error;
    return std::filesystem::remove(ToPath(path), error);
  }

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
};

}  // namespace

FileSystem& FileSystem::Default() {
  static PlatformFileSystem platform;
  return platform;
}
