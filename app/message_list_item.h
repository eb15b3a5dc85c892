// The record behind each entry of the main window's message list.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/canvas.h"
#include "cache/cache_row.h"

// Whether the player's race got the message or sends it next turn
// (MSGINCOMING 1 or 0).
enum class MessageDirection : uint8_t { kOutgoing = 0, kIncoming = 1 };

// The player's relation to the other race, numbered as RACRELATION stores
// it. A stored number beyond these is kept as it is and shown as an enemy.
enum class RaceRelation : int32_t { kFriend = 0, kNeutral = 1, kEnemy = 2 };

// The display lines of a message text: segments ended by a line feed, but
// those of 0 or 1 bytes, and the rest after the last line feed when not
// empty; at most 18 lines, of the text's first 9999 bytes. The text is not
// copied when it lies in a table row (the lines keep a handle to the row),
// and the lines are found as they are read, so that a list of many
// messages costs little memory.
class MessageLines {
 public:
  static constexpr size_t kMost = 18;
  static constexpr size_t kLongestText = 9999;

  MessageLines() = default;
  // The lines of a copy of `text`.
  explicit MessageLines(std::string text);
  // The lines of `text`, which lies in `row`'s data (CacheRow::textView).
  MessageLines(CacheRow row, std::string_view text);

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }

  class Iterator {
   public:
    Iterator(std::string_view text, size_t next, size_t index);
    std::string_view operator*() const { return line_; }
    Iterator& operator++();
    bool operator==(const Iterator& other) const { return index_ == other.index_; }
    bool operator!=(const Iterator& other) const { return index_ != other.index_; }

   private:
    void find();  // the line from next_ on, or the end

    std::string_view text_;
    size_t next_;   // where the search for the following line starts
    size_t index_;  // the line's number; kMost or more at the end
    std::string_view line_;
  };
  Iterator begin() const { return Iterator(text_, 0, 0); }
  Iterator end() const { return Iterator(text_, text_.size() + 1, kMost); }

  bool operator==(const std::vector<std::string>& lines) const;

 private:
  void count();

  std::optional<CacheRow> row_;              // keeps text_'s bytes
  std::shared_ptr<const std::string> own_;  // or holds them
  std::string_view text_;
  size_t count_ = 0;
};

struct MessageListItem {
  int32_t id = -1;     // MSGID; -1 for the "no messages" entry
  int32_t turn = 0;    // TURN, drawn at the item's top left
  Color color = 0;     // the race's colour, or the foreground colour
  int32_t extent = 0;  // the list's horizontal scroll extent, pixels
  int32_t height = 0;  // the item's height, pixels
  MessageDirection direction = MessageDirection::kIncoming;
  std::string raceName;            // the other party's plural name; empty for system messages
  MessageLines lines;              // the text as display lines
  RaceRelation relation = RaceRelation::kNeutral;  // neutral when unknown
};
