#include "app/message_list_item.h"

#include <algorithm>

MessageLines::MessageLines(std::string text)
    : own_(std::make_shared<const std::string>(
          text.size() > kLongestText ? text.substr(0, kLongestText) : std::move(text))),
      text_(*own_) {
  count();
}

MessageLines::MessageLines(CacheRow row, std::string_view text)
    : row_(std::move(row)), text_(text.substr(0, kLongestText)) {
  count();
}

void MessageLines::count() {
  count_ = 0;
  for (Iterator line = begin(); line != end(); ++line) ++count_;
}

bool MessageLines::operator==(const std::vector<std::string>& lines) const {
  if (lines.size() != count_) return false;
  size_t i = 0;
  for (std::string_view line : *this) {
    if (line != lines[i++]) return false;
  }
  return true;
}

MessageLines::Iterator::Iterator(std::string_view text, size_t next, size_t index)
    : text_(text), next_(next), index_(index) {
  if (index_ < kMost) find();
}

MessageLines::Iterator& MessageLines::Iterator::operator++() {
  if (++index_ < kMost) find();
  return *this;
}

void MessageLines::Iterator::find() {
  while (next_ <= text_.size()) {
    const size_t feed = text_.find('\n', next_);
    const size_t start = next_;
    if (feed == std::string_view::npos) {
      next_ = text_.size() + 1;
      if (start < text_.size()) {
        line_ = text_.substr(start);
        return;
      }
      break;
    }
    next_ = feed + 1;
    if (feed - start > 1) {
      line_ = text_.substr(start, feed - start);
      return;
    }
  }
  index_ = kMost;  // no line more: the end
}
