#include "archive/file_group_writer.h"

#include <iterator>

#include "archive/archive_sites.h"
#include "support/text_format.h"

namespace {

std::string temporaryOf(const std::string& path) { return path + ".tmp"; }
std::string copyOf(const std::string& path) { return path + ".old"; }

[[noreturn]] void cannotWrite(const std::string& path) {
  raiseUnexpected(archive_site::kWriteFile, formatText("cannot write file \"%s\"", path.c_str()));
}

}  // namespace

void FileGroupWriter::Add(const std::string& path, Content content) {
  group_.push_back(File{path, std::move(content), false});
}

void FileGroupWriter::WriteFile(const std::string& path, const std::string& shown,
                                const Content& content) const {
  std::unique_ptr<std::ostream> out = files_.Create(path);
  if (!out) cannotWrite(shown);
  content(*out);
  if (!*out || !files_.Close(std::move(out))) cannotWrite(shown);
}

void FileGroupWriter::Commit() {
  try {
    for (const File& file : group_) WriteFile(temporaryOf(file.path), file.path, file.content);
    // Only a file replaced before a rename that fails is put back: the
    // last file of the group needs no copy (a group of one file none).
    for (size_t i = 0; i + 1 < group_.size(); ++i) {
      File& file = group_[i];
      if (files_.Kind(file.path) != PathKind::kFile) continue;
      std::unique_ptr<std::istream> old = files_.OpenRead(file.path);
      if (!old) cannotWrite(file.path);
      const std::string bytes((std::istreambuf_iterator<char>(*old)), std::istreambuf_iterator<char>());
      if (old->bad()) cannotWrite(file.path);
      WriteFile(copyOf(file.path), file.path, [&](std::ostream& out) { out << bytes; });
      file.existed = true;
    }
  } catch (...) {
    RemoveLeftovers();
    throw;
  }
  for (size_t i = 0; i < group_.size(); ++i) {
    if (!files_.Rename(temporaryOf(group_[i].path), group_[i].path)) {
      PutBack(i);
      RemoveLeftovers();
      raiseUnexpected(archive_site::kReplaceFile,
                      formatText("cannot replace file \"%s\"", group_[i].path.c_str()));
    }
  }
  RemoveLeftovers();
}

void FileGroupWriter::PutBack(size_t replaced) {
  for (size_t i = 0; i < replaced; ++i) {
    File& file = group_[i];
    if (file.existed) {
      file.keepCopy = !files_.Rename(copyOf(file.path), file.path);
    } else {
      files_.Remove(file.path);
    }
  }
}

void FileGroupWriter::RemoveLeftovers() const {
  for (const File& file : group_) {
    if (files_.Kind(temporaryOf(file.path)) != PathKind::kNone) files_.Remove(temporaryOf(file.path));
    if (!file.keepCopy && files_.Kind(copyOf(file.path)) != PathKind::kNone) {
      files_.Remove(copyOf(file.path));
    }
  }
}
