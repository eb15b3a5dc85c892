// Exporting the stored messages of a game and race as one table, for
// spreadsheets (CSV) and scripts (JSON lines).
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "archive/stored_messages.h"

class TurnStore;

enum class ExportFormat { kCsv, kJsonLines };

// One line of the export.
struct ExportRecord {
  int32_t turn = 0;
  int32_t id = 0;
  bool playerPost = false;
  bool incoming = false;
  std::optional<int32_t> race;   // the other party
  std::string raceName;          // its plural name (empty when unknown)
  std::string relation;          // "friend", "neutral", "enemy" or empty
  std::string text;              // code page 1252
};

// The columns: turn, id, type, direction, race number, race name,
// relation, text. CSV follows RFC 4180: a header line, CR LF line ends,
// fields separated by `delimiter` (a comma unless told), fields with the
// delimiter, a double quote, a CR or a LF quoted, inner quotes doubled; texts stay in code page 1252; a race name or text that begins with
// =, +, -, @, a tab or a CR starts with an apostrophe, so that no
// spreadsheet takes it for a formula. JSON lines hold one object per
// line with the keys turn, id, type, direction, race_number, race_name,
// relation and text, absent values null, texts in UTF-8.
void WriteExportHeader(ExportFormat format, std::ostream& out, char delimiter = ',');
void WriteExportRecord(ExportFormat format, const ExportRecord& record, std::ostream& out,
                       char delimiter = ',');

// Writes every stored turn of `game` and `race`, turns ascending, rows in
// stored order: player post only, unless `allMessages`. Files that cannot
// be read go to `onSkipped` (path, reason) and are left out. Returns the
// number of files skipped.
int ExportMessages(const TurnStore& store, const std::string& game, int32_t race,
                   bool allMessages, ExportFormat format, std::ostream& out,
                   const SkippedFile& onSkipped, char delimiter = ',');
