#include "archive/file_ops.h"

#include <fstream>

namespace {

class SystemFileOps : public FileOps {
 public:
  std::unique_ptr<std::ostream> Create(const std::filesystem::path& path) override {
    auto file = std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
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

  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return !error;
  }

  bool Remove(const std::filesystem::path& path) override {
    std::error_code error;
    return std::filesystem::remove(path, error);
  }
};

}  // namespace

FileOps& FileOps::System() {
  static SystemFileOps system;
  return system;
}
