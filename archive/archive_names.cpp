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
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
         stem[3] >= '0' && stem[3] <= '9';
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
  if (name.size() < 4 || upperAscii(name.substr(name.size() - 4)) != ".SAV") return false;
  int32_t value;
  if (!parseDigits(name.substr(0, name.find('.')), kLastTurn, &value) || !IsGameTurn(value)) {
    return false;
  }
  *turn = value;
  return true;
}
