#include "app/save_as_text.h"

#include <fstream>

#include "app/user_interface.h"
#include "archive/archive_layout.h"
#include "archive/file_group_writer.h"
#include "archive/path_text.h"
#include "cache/cache_dump.h"
#include "reader/current_game.h"
#include "reader/game_tables.h"
#include "support/lexc.h"

std::string MessagesAsText(const SmartCache& messages) {
  std::string text;
  for (CachePosition p = messages.begin(); p != messages.end(); p = messages.next(p)) {
    const CacheRow row = messages.rowAt(p);
    text += "--- Message " + std::to_string(row.getLong(MSGID)) + "---\r\n";
    if (!row.isNull(MSGTXT)) text += row.getString(MSGTXT);
    text += "--- \r\n\r\n";
  }
  return text;
}

void SaveMessagesAsText(const CurrentGame& game, UserInterface& ui, FileSystem& files) {
  std::string path;
  if (!ui.AskSaveFile(&path)) return;
  const std::string text = MessagesAsText(game.MessageTable());
  try {
    FileGroupWriter file(files);
    file.Add(path, [&](std::ostream& out) { out << text; });
    file.Commit();
  } catch (const LExc_Base&) {
    ui.ShowError("The messages could not be saved in \"" + path +
                 "\". Check that the file is not read-only and that the disk has room.");
  }
}

std::string DumpFileBesideTheProgram(const ArchiveLayout& layout) {
  return layout.Folder() + kDebugDumpName;
}

void OnDebugDump(const CurrentGame& game, const std::string& path, const std::string& fallback) {
  try {
    std::ofstream out(ToPath(path));  // a text file: the platform's line ends
    if (!out.is_open() && !fallback.empty()) out.open(ToPath(fallback));
    if (!out.is_open()) return;
    dumpCache(game.RaceTable(), out);
    dumpCache(game.MessageTable(), out);
  } catch (...) {
    // The dump is a diagnostic: it never troubles the user.
  }
}
