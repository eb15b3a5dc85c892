// "Save as Text": every message of the MessageTable as a text file of the
// user's choice, and the debug dump of both tables.
#pragma once

#include <string>

class ArchiveLayout;
class CurrentGame;
class FileSystem;
class SmartCache;
class UserInterface;

// The file's bytes: per row "--- Message <MSGID>---" CR LF, the text as
// stored, "--- " CR LF, CR LF.
std::string MessagesAsText(const SmartCache& messages);

// Asks for a file and writes MessagesAsText into it through `files`,
// replacing it. A file that cannot be written is reported (caption "Error",
// naming the file) and left as it was. Nothing happens when the user
// cancels.
void SaveMessagesAsText(const CurrentGame& game, UserInterface& ui, FileSystem& files);

// Where the debug dump goes.
inline constexpr char kDebugDumpFile[] = "C:\\vandormsg.log";
// Its name beside the program, where it goes when kDebugDumpFile cannot be
// written (a user without administrator rights cannot create files in C:\).
inline constexpr char kDebugDumpName[] = "vandormsg.log";

// The dump's file beside the program of `layout`: in the folder that holds
// DATA.
std::string DumpFileBesideTheProgram(const ArchiveLayout& layout);

// Writes the dumps of the RaceTable and the MessageTable into the text file
// `path`, replacing it; when `path` cannot be opened, into `fallback`
// instead (none when it is empty). Reports nothing: any other failure ends
// the dump quietly.
void OnDebugDump(const CurrentGame& game, const std::string& path = kDebugDumpFile,
                 const std::string& fallback = std::string());
