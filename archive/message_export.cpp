#include "archive/message_export.h"

#include "support/cp1252.h"
#include "support/text_format.h"

namespace {

const char* typeOf(const ExportRecord& record) { return record.playerPost ? "player" : "system"; }
const char* directionOf(const ExportRecord& record) {
  return record.incoming ? "incoming" : "outgoing";
}

// Texts come from other players (race names, messages): one that begins
// as a formula would (=, +, -, @) or with a tab or a CR, which some
// spreadsheets skip before one, gets a leading apostrophe, so that a
// spreadsheet shows it as the text it is instead of evaluating it.
std::string neutralised(const std::string& text) {
  if (text.empty() || std::string("=+-@\t\r").find(text[0]) == std::string::npos) return text;
  return "'" + text;
}

std::string csvField(const std::string& raw, char delimiter) {
  const std::string text = neutralised(raw);
  if (text.find_first_of(std::string("\"\r\n") + delimiter) == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

// A JSON string of a code page 1252 text.
std::string jsonString(const std::string& text) {
  std::string json = "\"";
  for (char c : Cp1252ToUtf8(text)) {
    switch (c) {
      case '"': json += "\\\""; break;
      case '\\': json += "\\\\"; break;
      case '\n': json += "\\n"; break;
      case '\r': json += "\\r"; break;
      case '\t': json += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          json += formatText("\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
        } else {
          json += c;
        }
    }
  }
  return json + "\"";
}

std::string jsonOrNull(const std::string& text) { return text.empty() ? "null" : jsonString(text); }

void writeCsv(const ExportRecord& r, char d, std::ostream& out) {
  out << r.turn << d << r.id << d << typeOf(r) << d << directionOf(r) << d
      << (r.race ? std::to_string(*r.race) : std::string()) << d << csvField(r.raceName, d) << d
      << r.relation << d << csvField(r.text, d) << "\r\n";
}

void writeJson(const ExportRecord& r, std::ostream& out) {
  out << "{\"turn\":" << r.turn << ",\"id\":" << r.id << ",\"type\":\"" << typeOf(r)
      << "\",\"direction\":\"" << directionOf(r)
      << "\",\"race_number\":" << (r.race ? std::to_string(*r.race) : "null")
      << ",\"race_name\":" << jsonOrNull(r.raceName) << ",\"relation\":" << jsonOrNull(r.relation)
      << ",\"text\":" << jsonString(r.text) << "}\n";
}

ExportRecord recordOf(const StoredTurn& turn, const StoredMessage& message,
                      const RaceInfos& races) {
  ExportRecord record;
  record.turn = turn.turn;
  record.id = message.id;
  record.playerPost = message.playerPost;
  record.incoming = message.incoming;
  record.text = message.text;
  if (message.playerPost && message.race) {
    record.race = message.race;
    const auto info = races.find(*message.race);
    if (info != races.end()) {
      record.raceName = info->second.plural;
      if (info->second.relation) record.relation = RelationName(*info->second.relation);
    }
  }
  return record;
}

}  // namespace

void WriteExportHeader(ExportFormat format, std::ostream& out, char delimiter) {
  if (format == ExportFormat::kCsv) {
    const char* names[] = {"turn", "id", "type", "direction", "race number", "race name",
                           "relation", "text"};
    for (const char* name : names) {
      if (name != names[0]) out << delimiter;
      out << csvField(name, delimiter);
    }
    out << "\r\n";
  }
}

void WriteExportRecord(ExportFormat format, const ExportRecord& record, std::ostream& out,
                       char delimiter) {
  if (format == ExportFormat::kCsv) {
    writeCsv(record, delimiter, out);
  } else {
    writeJson(record, out);
  }
}

int ExportMessages(const TurnStore& store, const std::string& game, int32_t race,
                   bool allMessages, ExportFormat format, std::ostream& out,
                   const SkippedFile& onSkipped, char delimiter) {
  TurnSelection selection;
  selection.game = game;
  selection.race = race;
  WriteExportHeader(format, out, delimiter);
  const auto visit = [&](const StoredTurn& turn, const std::vector<StoredMessage>& messages,
                         const RaceInfos& races) {
    for (const StoredMessage& message : messages) {
      if (!allMessages && !message.playerPost) continue;
      WriteExportRecord(format, recordOf(turn, message, races), out, delimiter);
    }
  };
  return VisitStoredTurns(store, selection, visit, onSkipped);
}
