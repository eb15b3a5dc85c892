#include "archive/file_group_writer.h"

#include <cctype>
#include <iterator>

#include "archive/archive_sites.h"
#include "archive/path_text.h"
#include "support/text_format.h"

namespace {

constexpr char kTemporaryEnding[] = ".tmp";
constexpr char kCopyEnding[] = ".old";

[[noreturn]] void cannotWrite(const std::string& path) {
  raiseUnexpected(archive_site::kWriteFile, formatText("cannot write file \"%s\"", path.c_str()));
}

// Takes a run of at least one digit from the front of `text`.
bool takeDigits(std::string* text) {
  size_t digits = 0;
  while (digits < text->size() && std::isdigit(static_cast<unsigned char>((*text)[digits]))) {
    ++digits;
  }
  text->erase(0, digits);
  return digits > 0;
}

// True when `entry` is "<name>.<digits>-<digits>.tmp" or ".old": a name a
// writer gives its temporary files and copies.
bool isWriterFileOf(const std::string& entry, const std::string& name) {
  if (entry.compare(0, name.size() + 1, name + ".") != 0) return false;
  std::string rest = entry.substr(name.size() + 1);
  if (!takeDigits(&rest) || rest.empty() || rest[0] != '-') return false;
  rest.erase(0, 1);
  return takeDigits(&rest) && (rest == kTemporaryEnding || rest == kCopyEnding);
}

}  // namespace

void FileGroupWriter::Add(const std::string& path, Content content) {
  File file;
  file.path = path;
  file.content = std::move(content);
  group_.push_back(std::move(file));
}

std::string FileGroupWriter::TemporaryOf(const File& file) const {
  return file.path + "." + tag_ + kTemporaryEnding;
}

std::string FileGroupWriter::CopyOf(const File& file) const {
  return file.path + "." + tag_ + kCopyEnding;
}

void FileGroupWriter::WriteFile(const std::string& path, const std::string& shown,
                                const Content& content, bool* created) const {
  std::unique_ptr<std::ostream> out = files_.Create(path);
  if (!out) cannotWrite(shown);
  *created = true;
  content(*out);
  if (!*out || !files_.Close(std::move(out))) cannotWrite(shown);
}

void FileGroupWriter::WriteTemporaryFiles() {
  for (File& file : group_) WriteFile(TemporaryOf(file), file.path, file.content, &file.written);
}

void FileGroupWriter::CopyOldVersions() {
  // Only a file replaced before a rename that fails is put back: the last
  // file of the group needs no copy (a group of one file none).
  for (size_t i = 0; i + 1 < group_.size(); ++i) {
    File& file = group_[i];
    if (files_.Kind(file.path) != PathKind::kFile) continue;
    std::unique_ptr<std::istream> old = files_.OpenRead(file.path);
    if (!old) cannotWrite(file.path);
    const std::string bytes((std::istreambuf_iterator<char>(*old)), std::istreambuf_iterator<char>());
    if (old->bad()) cannotWrite(file.path);
    WriteFile(CopyOf(file), file.path, [&](std::ostream& out) { out << bytes; }, &file.copied);
  }
}

bool FileGroupWriter::ReplaceFiles(size_t* failed) {
  for (size_t i = 0; i < group_.size(); ++i) {
    File& file = group_[i];
    if (!files_.Rename(TemporaryOf(file), file.path)) {
      *failed = i;
      PutBack();
      return false;
    }
    file.replaced = true;
  }
  return true;
}

void FileGroupWriter::Commit() {
  tag_ = std::to_string(files_.ProcessId()) + "-" + std::to_string(files_.NextSerial());
  try {
    WriteTemporaryFiles();
    CopyOldVersions();
  } catch (...) {
    RemoveLeftovers();
    throw;
  }
  size_t failed = 0;
  const bool replaced = ReplaceFiles(&failed);
  RemoveLeftovers();
  if (!replaced) {
    raiseUnexpected(archive_site::kReplaceFile,
                    formatText("cannot replace file \"%s\"", group_[failed].path.c_str()));
  }
}

void FileGroupWriter::PutBack() {
  for (File& file : group_) {
    if (!file.replaced) continue;
    if (file.copied) {
      file.keepCopy = !files_.Rename(CopyOf(file), file.path);
    } else {
      files_.Remove(file.path);  // there was none: this writer made it
    }
  }
}

void FileGroupWriter::RemoveLeftovers() const {
  for (const File& file : group_) {
    if (file.written && !file.replaced) files_.Remove(TemporaryOf(file));
    if (file.copied && !file.keepCopy && files_.Kind(CopyOf(file)) == PathKind::kFile) {
      files_.Remove(CopyOf(file));
    }
  }
}

void FileGroupWriter::RemoveAbandoned() const {
  for (const File& file : group_) {
    const size_t cut = file.path.rfind(kPathSeparator);
    const std::string directory = cut == std::string::npos ? std::string() : file.path.substr(0, cut + 1);
    const std::string name = file.path.substr(directory.size());
    std::vector<DirectoryEntry> entries;
    files_.List(directory.empty() ? std::string(".") : directory, &entries);
    for (const DirectoryEntry& entry : entries) {
      const std::string path = directory + entry.name;
      if (entry.isDirectory || !isWriterFileOf(entry.name, name)) continue;
      if (!tag_.empty() && (path == TemporaryOf(file) || path == CopyOf(file))) continue;
      files_.Remove(path);
    }
  }
}
