#include "app/browse_commands.h"

#include <algorithm>

#include "app/colors.h"
#include "app/stored_turns.h"
#include "app/user_interface.h"
#include "archive/message_search.h"
#include "archive/turn_store.h"
#include "cache/cache_sort.h"
#include "reader/current_game.h"
#include "reader/game_tables.h"

namespace {

const char* const kViews[] = {"(All Messages)", "(Player Post)", "(Outgoing Post)"};

std::vector<int32_t> sortedTurns(const TurnStore& store, const std::string& game, int32_t race) {
  std::vector<int32_t> turns = store.ListTurns(game, race);
  std::sort(turns.begin(), turns.end());
  return turns;
}

// The colours of the positions, RaceColors[k] for the k-th entry.
Color positionColor(size_t k) {
  return k < static_cast<size_t>(kRaceCount) ? RaceColors[k] : kForeground;
}

}  // namespace

CommandOutcome BrowseCommands::Load(const std::string& game, int32_t race, int32_t turn) {
  LoadTurnOrSay(store_, ui_, game_, game, race, turn);
  CommandOutcome outcome;
  outcome.refresh = true;
  outcome.marks = nullptr;
  return outcome;
}

CommandOutcome BrowseCommands::OnLoadGame() {
  const Choice choice = ui_.Choose("Choose Game to load", store_.ListGames(), {});
  if (!choice.ok) return {};
  return Load(choice.text, -1, -1);
}

CommandOutcome BrowseCommands::OnChangeRace() {
  if (!game_.HasTurn()) return {};
  const std::vector<int32_t> races = store_.ListRaces(game_.GameName());
  std::vector<std::string> names;
  std::vector<Color> colors;
  for (size_t k = 0; k < races.size(); ++k) {
    names.push_back(game_.RaceName(races[k]));
    colors.push_back(positionColor(k));
  }
  const Choice choice = ui_.Choose("Choose Player Race", names, colors);
  if (!choice.ok || choice.index < 0 || static_cast<size_t>(choice.index) >= races.size()) return {};
  return Load(game_.GameName(), races[static_cast<size_t>(choice.index)], -1);
}

CommandOutcome BrowseCommands::OnTurnList() {
  if (!game_.HasTurn()) return {};
  const std::vector<int32_t> turns = sortedTurns(store_, game_.GameName(), game_.RaceNumber());
  std::vector<std::string> texts;
  for (int32_t turn : turns) texts.push_back(std::to_string(turn));
  const Choice choice = ui_.Choose("Choose Turn", texts, {});
  if (!choice.ok || choice.index < 0 || static_cast<size_t>(choice.index) >= turns.size()) return {};
  return Load(game_.GameName(), game_.RaceNumber(), turns[static_cast<size_t>(choice.index)]);
}

CommandOutcome BrowseCommands::OnNextTurn() { return StepTurn(+1); }

CommandOutcome BrowseCommands::OnPrevTurn() { return StepTurn(-1); }

CommandOutcome BrowseCommands::StepTurn(int direction) {
  if (!game_.HasTurn()) return {};
  const std::vector<int32_t> turns = sortedTurns(store_, game_.GameName(), game_.RaceNumber());
  const auto found = std::find(turns.begin(), turns.end(), game_.Turn());
  if (found == turns.end()) return {};
  if (direction > 0 && found + 1 == turns.end()) return {};
  if (direction < 0 && found == turns.begin()) return {};
  return Load(game_.GameName(), game_.RaceNumber(), *(found + direction));
}

CommandOutcome BrowseCommands::OnFilter() {
  if (!game_.HasTurn()) return {};
  std::vector<std::string> choices(std::begin(kViews), std::end(kViews));
  std::vector<Color> colors(choices.size(), kForeground);
  std::vector<int32_t> races;
  const SmartCache& raceTable = game_.RaceTable();
  for (int32_t k = 0; k < raceTable.rowCount(); ++k) {
    const CacheRow row = raceTable.rowAt(k);
    races.push_back(row.getLong(RACNO));
    if (!row.isNull(RACNAMPLU)) {
      choices.push_back(row.getString(RACNAMPLU));
    } else if (!row.isNull(RACNAMSING)) {
      choices.push_back(row.getString(RACNAMSING));
    } else {
      choices.push_back("no name");
    }
    colors.push_back(positionColor(static_cast<size_t>(k)));
  }
  const Choice choice = ui_.Choose("Choose Filter Option:", choices, colors);
  if (!choice.ok || choice.index < 0 || static_cast<size_t>(choice.index) >= choices.size()) return {};
  const int32_t i = choice.index;
  filter_.playerPostOnly = i == 1 || i >= 3;
  filter_.outgoingOnly = i == 2;
  filter_.race = i >= 3 ? races[static_cast<size_t>(i - 3)] : -1;
  CommandOutcome outcome;
  outcome.refresh = true;
  outcome.filterLabel = choice.text;
  return outcome;
}

bool BrowseCommands::GatherAllTurns(const MessageSelection& wanted) {
  const std::string game = game_.GameName();
  const int32_t race = game_.RaceNumber();
  const std::vector<int32_t> turns = sortedTurns(store_, game, race);
  if (turns.empty()) return false;

  // Every turn, each in its stored order, copied once into a table of the
  // program's columns. The earlier turns are scanned where they lie in
  // their files and only the wanted rows copied; the latest is loaded as
  // the game's turn, with the game's races, so that RACES.SAV is read once
  // and the commands go on from the latest turn.
  CurrentGame columns;
  DefineTableColumns(columns, columns.MessageTable());
  SmartCache gathered;
  gathered.setTemplateRow(columns.MessageTable().templateRow());
  for (size_t k = 0; k + 1 < turns.size(); ++k) {
    GatherStoredMessagesOrSay(store_, ui_, game, race, turns[k], wanted, gathered);
  }
  if (LoadTurnOrSay(store_, ui_, game_, game, race, turns.back())) {
    GatherMessages(game_.MessageTable(), wanted, gathered);
  }
  sortRows(gathered, gathered.templateRow().columnIndex(MSGRACNO));
  game_.MessageTable().swap(gathered);
  return true;
}

CommandOutcome BrowseCommands::OnAllTurns() {
  WaitCursor wait(ui_);
  if (!game_.HasTurn()) return {};
  MessageSelection playerPost;
  playerPost.playerPostOnly = true;
  if (!GatherAllTurns(playerPost)) return {};
  CommandOutcome outcome;
  outcome.refresh = true;
  outcome.yearLabel = "ALL";
  outcome.marks = nullptr;
  return outcome;
}

CommandOutcome BrowseCommands::OnFind() {
  if (!game_.HasTurn()) return {};
  FindRequest request = lastFind_;
  if (!ui_.AskFind(&request)) return {};
  lastFind_ = request;
  if (request.text.empty()) return {};
  WaitCursor wait(ui_);
  auto matcher = std::make_shared<const TextMatcher>(request.text, request.ignoreCase);
  MessageSelection found;
  found.text = matcher.get();
  if (!GatherAllTurns(found)) return {};
  CommandOutcome outcome;
  outcome.refresh = true;
  outcome.yearLabel = "FIND";
  outcome.marks = std::move(matcher);
  return outcome;
}
