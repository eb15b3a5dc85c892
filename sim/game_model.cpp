#include "sim/game_model.h"

namespace {
const std::string kEmpty;
}  // namespace

GameModel::GameModel(Scenario scenario) : scenario_(std::move(scenario)) {
  entries_[static_cast<int>(Entries::kRecipients)] = scenario_.recipients;
  for (const Scenario::Relation& relation : scenario_.relations) {
    entries_[static_cast<int>(Entries::kRelations)].push_back(relation.name);
  }
  for (int i = 0; i < 2; ++i) grown_[i].assign(entries_[i].size(), false);
}

const std::vector<std::string>& GameModel::EntryTexts(Entries entries) const {
  return entries_[static_cast<int>(entries)];
}

bool GameModel::EntryLengthAsked(Entries entries, size_t index) {
  const int which = static_cast<int>(entries);
  if (scenario_.entryGrowth <= 0 || index >= entries_[which].size() || grown_[which][index]) {
    return false;
  }
  grown_[which][index] = true;
  entries_[which][index].append(static_cast<size_t>(scenario_.entryGrowth), '+');
  return true;
}

void GameModel::Home() {
  ++keys_;
  incoming_ = 0;
}

void GameModel::Down() {
  ++keys_;
  if (incoming_ + 1 < scenario_.incoming.size()) ++incoming_;
}

bool GameModel::Hung() const {
  return scenario_.stopAnsweringAfterKeys >= 0 && keys_ >= scenario_.stopAnsweringAfterKeys;
}

bool GameModel::Vanished() const {
  return scenario_.vanishAfterKeys >= 0 && keys_ >= scenario_.vanishAfterKeys;
}

void GameModel::ClickPane(int32_t x, int32_t y) {
  if (x >= width_ - 40 && x < width_ && y >= 0 && y < 30) composing_ = !composing_;
}

void GameModel::PressNext() {
  if (!composing_) {
    if (incoming_ + 1 < scenario_.incoming.size()) ++incoming_;
  } else if (outgoing_ < scenario_.outgoing.size()) {
    ++outgoing_;  // up to the blank page
  }
}

void GameModel::PressPrev() {
  if (!composing_) {
    if (incoming_ > 0) --incoming_;
  } else if (outgoing_ > 0) {
    --outgoing_;
  }
}

const std::string& GameModel::ReadingText() const {
  return incoming_ < scenario_.incoming.size() ? scenario_.incoming[incoming_] : kEmpty;
}

const std::string& GameModel::ComposeText() const {
  return outgoing_ < scenario_.outgoing.size() ? scenario_.outgoing[outgoing_].text : kEmpty;
}

int32_t GameModel::ComboSelection() const {
  return outgoing_ < scenario_.outgoing.size() ? scenario_.outgoing[outgoing_].recipient : 0;
}

bool GameModel::NextDisabled() const {
  if (scenario_.nextNeverDisabled) return false;
  if (composing_) return outgoing_ >= scenario_.outgoing.size();
  return incoming_ + 1 >= scenario_.incoming.size();
}

bool GameModel::PrevDisabled() const {
  if (scenario_.prevNeverDisabled) return false;
  return (composing_ ? outgoing_ : incoming_) == 0;
}

void GameModel::Resize(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
}

void GameModel::RequestRelations() {
  dialogRequested_ = true;
  dialogClosed_ = false;
  waitsSinceRequest_ = 0;
}

void GameModel::Wait() {
  if (dialogRequested_) ++waitsSinceRequest_;
}

bool GameModel::DialogOpen() const {
  return dialogRequested_ && !dialogClosed_ && !scenario_.dialogNever &&
         waitsSinceRequest_ >= scenario_.dialogAfterWaits;
}

bool GameModel::DialogShown() const {
  return DialogOpen() &&
         waitsSinceRequest_ >= scenario_.dialogAfterWaits + scenario_.dialogHiddenWaits;
}

void GameModel::CloseDialog() {
  dialogClosed_ = true;
  dialogRequested_ = false;
}

void GameModel::ListDown() {
  if (listSelection_ + 1 < static_cast<int32_t>(scenario_.relations.size())) ++listSelection_;
}

int GameModel::SelectedRelation() const {
  const int32_t selection = ListSelection();
  return selection < 0 ? Scenario::kNoRelation : scenario_.relations[selection].relation;
}
