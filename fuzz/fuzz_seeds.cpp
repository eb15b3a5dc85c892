// fuzz-seeds DIRECTORY: writes the seed corpora of the fuzz targets, small
// inputs that the program itself makes, into DIRECTORY/<target>/. The
// corpora under fuzz/corpus are this program's output; run it again (make
// fuzz-seeds) when a file format changes.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cache/cache_stream.h"
#include "cache/type_codes.h"
#include "fuzz/archive_layout.h"
#include "reader/current_game.h"
#include "reader/game_tables.h"
#include "reader/message_classifier.h"

namespace {

const Timestamp kMoment(LDat(2026, 12, 8), LTim(4, 5, 9), 0);

// A captured turn: races with names and relations, and messages of every
// kind.
std::unique_ptr<CurrentGame> capturedTurn() {
  auto game = std::make_unique<CurrentGame>(std::make_unique<FixedClock>(kMoment));
  DefineTableColumns(*game, game->RaceTable());
  DefineTableColumns(*game, game->MessageTable());
  game->SetGameName("Galaxy");
  game->SetRaceNumber(1);
  game->SetTurn(2401);
  const char* plural[] = {"Zorgs", "Terrans", "Kaa Tor"};
  const char* singular[] = {"Zorg", "Terran", "Kaa Tor"};
  for (int32_t i = 0; i < 3; ++i) {
    CacheRow row = game->RaceTable().templateRow();
    row.setLong(RACNO, i);
    row.setString(RACNAMPLU, plural[i]);
    if (i != 2) row.setString(RACNAMSING, singular[i]);
    row.setLong(RACRELATION, (i + 2) % 3);
    row.setTimestamp(RACHROWID, kMoment);
    game->RaceTable().appendRow(row);
  }
  AddMessageRow(*game, "Production report for turn 2401:\r\nSirius IV built 3 cruisers.", 1, 1, -1);
  AddMessageRow(*game, "FROM  Zorgs\r\nTO  Terrans\r\nWithdraw your fleet.", 2, 1, -1);
  AddMessageRow(*game, "VON  Kaa Tor\r\nAN  Terraner\r\nHandel?", 3, 1, -1);
  AddMessageRow(*game, "Never.", 4, 0, 0);
  return game;
}

// A table with a column of every storable type, one row of values (the
// accessors write the date and time types of ODBC 3 only; the older codes
// stay NULL) and one of NULLs.
std::string everyType() {
  SmartCache table;
  const int32_t types[] = {SQL_C_CHAR,      SQL_C_BINARY,    SQL_C_LONG,      SQL_C_DOUBLE,
                           SQL_C_DATE,      SQL_C_TYPE_DATE, SQL_C_TIME,      SQL_C_TYPE_TIME,
                           SQL_C_TIMESTAMP, SQL_C_TYPE_TIMESTAMP};
  for (int32_t type : types) table.addColumn("C" + std::to_string(type < 0 ? -type : type), type);
  CacheRow row = table.templateRow();
  row.setString(0, "text");
  row.setBlob(1, Blob("\x01\x00\xFF", 3));
  row.setLong(2, -2401);
  row.setDouble(3, 0.25);
  row.setDate(5, LDat(1999, 1, 31));
  row.setTime(7, LTim(23, 59, 59));
  row.setTimestamp(9, Timestamp(LDat(2000, 2, 29), LTim(12, 0, 0), 999));
  table.appendRow(row);
  table.appendRow(table.templateRow());
  return saveToString(table);
}

// A table of the three date and time codes that no accessor takes, with
// one row of values. Only a stream gives such cells values, so its records
// are written here field by field, the cells holding the bytes of a date, a
// time and a timestamp.
std::string codesWithoutAccessors() {
  std::ostringstream out;
  const auto number = [&out](uint32_t value) {
    for (int k = 0; k < 4; ++k) out.put(static_cast<char>((value >> (8 * k)) & 0xFF));
  };
  uint8_t cells[6 + 6 + 16];
  LDat(1999, 1, 31).toBytes(cells);
  LTim(23, 59, 59).toBytes(cells + 6);
  Timestamp(LDat(2000, 2, 29), LTim(12, 0, 0), 999).toBytes(cells + 12);
  const auto record = [&](uint8_t flags, uint32_t cellLength) {
    writeCountedString("SR", out);
    number(3);
    for (int32_t type : {SQL_C_DATE, SQL_C_TIME, SQL_C_TIMESTAMP}) {
      writeCountedString(("C" + std::to_string(type)).c_str(), out);
      number(static_cast<uint32_t>(type));
    }
    number(3);
    out.put(static_cast<char>(flags));
    number(cellLength);
    out.write(reinterpret_cast<const char*>(cells), cellLength);
  };
  writeCountedString("SC", out);
  number(1);
  record(0xE0, 0);  // the template: every cell NULL
  record(0x00, sizeof cells);
  return out.str();
}

// `messages` as another program might write it: its columns among two
// thousand others of every kind, all in a shuffled order, each row with
// some of the others set.
std::string wideTable(const SmartCache& messages) {
  std::vector<std::pair<std::string, int32_t>> columns;
  const CacheRow own = messages.templateRow();
  for (uint32_t i = 0; i < own.columnCount(); ++i) {
    columns.emplace_back(own.columnName(static_cast<int32_t>(i)),
                         own.columnType(static_cast<int32_t>(i)));
  }
  const int32_t kinds[] = {SQL_C_CHAR, SQL_C_LONG, SQL_C_DOUBLE, SQL_C_BINARY};
  for (int k = 0; k < 2000; ++k) columns.emplace_back("X" + std::to_string(k), kinds[k % 4]);
  uint32_t seed = 2401;  // a fixed shuffle, so that the seeds stay the same
  for (size_t i = columns.size() - 1; i > 0; --i) {
    seed = seed * 1664525u + 1013904223u;
    std::swap(columns[i], columns[seed % (i + 1)]);
  }
  SmartCache wide;
  for (const auto& [name, type] : columns) wide.addColumn(name, type);
  for (CachePosition p = messages.begin(); p != messages.end(); p = messages.next(p)) {
    CacheRow row = wide.templateRow();
    assignByName(row, messages.rowAt(p));
    row.setString("X0", "extra");
    row.setLong("X1", 7);
    wide.appendRow(row);
  }
  return saveToString(wide);
}

void write(const std::filesystem::path& directory, const std::string& name,
           const std::string& bytes) {
  std::filesystem::create_directories(directory);
  std::ofstream(directory / name, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz-seeds DIRECTORY\n";
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const std::unique_ptr<CurrentGame> game = capturedTurn();
  const std::string races = saveToString(game->RaceTable());
  const std::string messages = saveToString(game->MessageTable());
  SmartCache empty;

  const auto tables = root / "table_stream";
  write(tables, "empty-table", saveToString(empty));
  write(tables, "races", races);
  write(tables, "messages", messages);
  write(tables, "every-type", everyType());
  write(tables, "codes-without-accessors", codesWithoutAccessors());
  const std::string wide = wideTable(game->MessageTable());
  write(tables, "wide-rows", wide);

  const auto archive = root / "archive";
  write(archive, "turn", fuzzing::JoinArchiveInput({races, messages}));
  write(archive, "no-races", fuzzing::JoinArchiveInput({std::string(), messages}));
  write(archive, "races-only", fuzzing::JoinArchiveInput({races, std::string()}));
  write(archive, "cut-turn",
        fuzzing::JoinArchiveInput({races, messages.substr(0, messages.size() / 2)}));
  write(archive, "wide-turn", fuzzing::JoinArchiveInput({races, wide}));

  // The first byte chooses direction and race (see the target).
  const auto texts = root / "title_classifier";
  const std::vector<std::pair<std::string, std::string>> samples = {
      {"english-title", std::string("\x01") + "Vandor! - Andromeda - Terran - Emperor Vance m2"},
      {"german-title", std::string("\x01") + "Vandor! - Andromeda - Terraner - Kaiser m10"},
      {"system", std::string("\x01") + "Production report for turn 2401:\r\nSirius IV."},
      {"from", std::string("\x01") + "FROM  Zorgs\r\nTO  Terrans\r\nWithdraw."},
      {"von", std::string("\x01") + "VON  Kaa Tor\r\nAN  Terraner\r\nHandel?"},
      {"outgoing", std::string("\x04") + "Never."},
  };
  for (const auto& [name, bytes] : samples) write(texts, name, bytes);
  return 0;
}
