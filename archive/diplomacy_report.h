// The diplomacy of one game and race as one self-contained HTML page: a
// timeline of the post with every other race, turn by turn, coloured by
// the relation of that turn; the totals per race; and every message,
// grouped by turn, with a search box that filters them as you type.
//
// The page fetches nothing (its style and its few lines of script are
// inline), is UTF-8 and works without its script. It is written in the
// program's look: black, cyan and the race colours.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>

#include "archive/stored_messages.h"

class TurnStore;

// Told after each turn read: how many of how many reads are done (the
// report reads every turn twice: once for the chart, once for the texts).
using ReportProgress = std::function<void(size_t done, size_t total)>;

struct ReportSummary {
  size_t turns = 0;             // turns in the report
  size_t messages = 0;          // messages in the report
  size_t turnsWithoutOwnRaces = 0;  // turns shown with RACES.SAV's relations
  int skipped = 0;              // files that could not be read
};

// Writes the report of `game` and `race` to `out`. The relations of each
// turn are those its capture saw (its .rac file); a turn stored without
// one shows RACES.SAV's, and the page says so. Files that cannot be read
// go to `onSkipped` (path, reason) and their turns are left out. The
// caller checks that the game and race are stored; output errors are the
// stream's.
ReportSummary WriteDiplomacyReport(const TurnStore& store, const std::string& game, int32_t race,
                                   std::ostream& out, const SkippedFile& onSkipped,
                                   const ReportProgress& progress = nullptr);

// A code page 1252 text as UTF-8 for HTML text and attribute values: &, <,
// > and the double quote escaped; control characters other than tab, line
// feed and carriage return (which HTML does not allow), and the five bytes
// the code page leaves undefined, become U+FFFD. Appended to `html`.
void AppendHtmlText(std::string& html, std::string_view text);

// A colour of the palette (0x00BBGGRR) as CSS: "#rrggbb".
std::string CssColor(uint32_t color);
