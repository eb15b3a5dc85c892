// Arbitrary texts as the frame's title and as messages: the title reader
// (through a window that answers WM_GETTEXT with the text) and the message
// classifier must take any text without crashing, and give results within
// their bounds. The first byte chooses the message's direction and race.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "reader/current_game.h"
#include "reader/game_tables.h"
#include "reader/game_windows.h"
#include "reader/message_classifier.h"
#include "reader/window_ops.h"

namespace {

// One frame window whose title is the fuzz input.
class TitleWindow : public WindowOps {
 public:
  explicit TitleWindow(std::string title) : title_(std::move(title)) {}
  WindowHandle FindWindowExA(WindowHandle, WindowHandle, const char*, const char*) override {
    return 1;
  }
  MessageResult SendMessageA(WindowHandle, uint32_t message, MessageParam wParam,
                             LongParam lParam) override {
    if (message != win::kWmGetText || wParam == 0) return 0;
    const size_t count = std::min(title_.size(), static_cast<size_t>(wParam) - 1);
    std::memcpy(reinterpret_cast<char*>(lParam), title_.data(), count);
    reinterpret_cast<char*>(lParam)[count] = '\0';
    return static_cast<MessageResult>(count);
  }
  bool PostMessageA(WindowHandle, uint32_t, MessageParam, LongParam) override { return false; }
  int32_t GetWindowLongA(WindowHandle, int32_t) override { return 0; }
  bool GetClientRect(WindowHandle, WindowRect*) override { return false; }
  bool ShowWindow(WindowHandle, int32_t) override { return false; }
  void Sleep(uint32_t) override {}

 private:
  std::string title_;
};

void checkTitle(const std::string& text) {
  TitleWindow window(text);
  const GameTitle title = ReadGameTitle(window);
  if (title.raceNumber < -1) std::abort();
  if (title.gameName.size() + title.raceName.size() + title.rest.size() > text.size()) std::abort();
}

CurrentGame& gameWithRaces() {
  static CurrentGame* game = [] {
    auto* made = new CurrentGame();
    DefineTableColumns(*made, made->RaceTable());
    DefineTableColumns(*made, made->MessageTable());
    made->SetTurn(2401);
    const char* names[] = {"Zorgs", "Terrans", "", "Kaa Tor"};
    for (int32_t i = 0; i < 4; ++i) {
      CacheRow row = made->RaceTable().templateRow();
      row.setLong(RACNO, i);
      row.setString(RACNAMPLU, names[i]);
      made->RaceTable().appendRow(row);
    }
    return made;
  }();
  return *game;
}

void checkMessage(uint8_t choice, const std::string& text) {
  CurrentGame& game = gameWithRaces();
  game.MessageTable().clearRows();
  const uint8_t incoming = choice & 1;
  const int32_t race = static_cast<int32_t>(choice >> 1) % 18 - 1;  // -1 … 16
  AddMessageRow(game, text.c_str(), 7, incoming, race);
  if (game.MessageTable().rowCount() != 1) std::abort();
  const CacheRow row = game.MessageTable().rowAt(0);
  if (row.getString(MSGTXT).size() > std::strlen(text.c_str())) std::abort();
  if (!row.isNull(MSGRACNO)) {
    const int32_t stored = row.getLong(MSGRACNO);
    if (stored != race && (race != -1 || stored < 0 || stored > 3)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  checkTitle(text);
  checkMessage(data[0], text);
  return 0;
}
