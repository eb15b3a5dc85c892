#include "archive/archive_names.h"

#include <cstring>

namespace {

std::string upperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool isDeviceName(const std::string& game) {
  const std::string stem = upperAscii(game.substr(0, game.find('.')));
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* device : kDevices) {
    if (stem == device) return true;
  }
  if (stem.size() != 4 || (stem.compare(0, 3, "COM") != 0 && stem.compare(0, 3, "LPT") != 0)) {
    return false;
  }
  // A digit, or one of the superscript digits ¹ ² ³ of the code page, which
  // Windows takes as device numbers too.
  const char number = stem[3];
  return (number >= '0' && number <= '9') || number == '\xB9' || number == '\xB2' ||
         number == '\xB3';
}

constexpr size_t digitCount(int32_t number) {
  return number < 10 ? 1 : 1 + digitCount(number / 10);
}

// A decimal number from 0 to `last`, of no more digits than `last` has,
// without sign or blanks.
bool parseDigits(const std::string& text, int32_t last, int32_t* value) {
  if (text.empty() || text.size() > digitCount(last)) return false;
  int64_t result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + (c - '0');
  }
  if (result > last) return false;
  *value = static_cast<int32_t>(result);
  return true;
}

}  // namespace

bool IsUsableGameName(const std::string& game) {
  if (game.empty() || game == "." || game == "..") return false;
  for (char c : game) {
    if (static_cast<unsigned char>(c) < 32 || std::strchr("<>:\"/\\|?*", c) != nullptr) {
      return false;
    }
  }
  if (game.back() == ' ' || game.back() == '.') return false;
  return !isDeviceName(game);
}

bool ParseRaceDirectory(const std::string& name, int32_t* race) {
  int32_t value;
  if (!parseDigits(name, kRaceCount - 1, &value) || !IsRaceNumber(value)) return false;
  if (name.size() > 1 && name[0] == '0') return false;  // only the names "%d" writes
  *race = value;
  return true;
}

bool ParseTurnFile(const std::string& name, int32_t* turn) {
  static const std::string kExtension = ".sav";
  if (name.size() <= kExtension.size() ||
      name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) != 0) {
    return false;
  }
  const std::string number = name.substr(0, name.size() - kExtension.size());
  int32_t value;
  if (!parseDigits(number, kLastTurn, &value) || !IsGameTurn(value)) return false;
  if (number != std::to_string(value)) return false;  // only the names "%d.sav" writes
  *turn = value;
  return true;
}
