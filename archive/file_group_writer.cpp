#include "archive/file_group_writer.h"

#include <fstream>

#include "archive/archive_sites.h"
#include "archive/path_text.h"
#include "support/text_format.h"

namespace {

std::string temporaryOf(const std::string& path) { return path + ".tmp"; }

}  // namespace

std::unique_ptr<std::ostream> OpenBinaryOutput(const std::filesystem::path& path) {
  return std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
}

void FileGroupWriter::Add(const std::string& path, Content content) {
  files_.push_back(File{path, std::move(content)});
}

void FileGroupWriter::Commit() {
  try {
    for (const File& file : files_) WriteTemporary(file);
  } catch (...) {
    RemoveTemporaries();
    throw;
  }
  for (const File& file : files_) {
    std::error_code error;
    std::filesystem::rename(ToPath(temporaryOf(file.path)), ToPath(file.path), error);
    if (error) {
      RemoveTemporaries();
      raiseUnexpected(archive_site::kReplaceFile,
                      formatText("cannot replace file \"%s\"", file.path.c_str()));
    }
  }
}

void FileGroupWriter::WriteTemporary(const File& file) const {
  std::unique_ptr<std::ostream> out = open_(ToPath(temporaryOf(file.path)));
  if (*out) {
    file.content(*out);
    out->flush();
  }
  if (!*out) {
    raiseUnexpected(archive_site::kWriteFile,
                    formatText("cannot write file \"%s\"", file.path.c_str()));
  }
  if (auto* stream = dynamic_cast<std::ofstream*>(out.get())) {
    stream->close();
    if (stream->fail()) {
      raiseUnexpected(archive_site::kWriteFile,
                      formatText("cannot write file \"%s\"", file.path.c_str()));
    }
  }
}

void FileGroupWriter::RemoveTemporaries() const {
  for (const File& file : files_) {
    std::error_code ignored;
    std::filesystem::remove(ToPath(temporaryOf(file.path)), ignored);
  }
}
