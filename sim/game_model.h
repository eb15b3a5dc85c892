// The simulated game's behaviour: what its message pane and relations
// dialog show and how they answer keys, clicks and commands. Shared by the
// in-process fake (fake_game.h) and the simulated game program, so that
// both behave alike from one scenario.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/scenario.h"

class GameModel {
 public:
  // The pane's client size when the game starts.
  static constexpr int32_t kPaneWidth = 600;
  static constexpr int32_t kPaneHeight = 400;

  explicit GameModel(Scenario scenario);

  const Scenario& scenario() const { return scenario_; }

  // The message pane. In reading mode it shows one incoming message; Home
  // and Down (and the Prev and Next buttons) step through them. A click
  // within 40 pixels of its right edge and 30 of its top switches to
  // compose mode and back; there it shows one outgoing message, which Prev
  // and Next page, and the recipient combo shows its recipient. After the
  // last outgoing message comes a blank page for a new one (no recipient,
  // no text), on which Next is disabled.
  void Home();
  void Down();
  // True once the pane has handled as many keys as the scenario lets it
  // before the game stops answering.
  bool Hung() const;
  // True once the pane has handled as many keys as the scenario lets it
  // before the game closes its windows.
  bool Vanished() const;
  void ClickPane(int32_t x, int32_t y);
  void PressNext();
  void PressPrev();
  bool ComposeMode() const { return composing_; }
  const std::string& ReadingText() const;
  const std::string& ComposeText() const;
  // The combo's selection: the current outgoing message's recipient, or 0.
  int32_t ComboSelection() const;
  bool NextDisabled() const;
  bool PrevDisabled() const;
  void Resize(int32_t width, int32_t height);
  int32_t PaneWidth() const { return width_; }
  int32_t PaneHeight() const { return height_; }

  // The frame.
  void Maximize() { maximized_ = true; }
  bool Maximized() const { return maximized_; }

  // The entries of the recipient combo box and of the relations list box
  // as they are now: an entry whose length was asked for grows once, when
  // the scenario says so (EntryLengthAsked).
  enum class Entries { kRecipients, kRelations };
  const std::vector<std::string>& EntryTexts(Entries entries) const;
  // Tells that the length of entry `index` was asked for. True when the
  // entry grew on it.
  bool EntryLengthAsked(Entries entries, size_t index);

  // The relations dialog: opened by the command, there once the scenario's
  // number of waits has passed (or never), shown with its controls after
  // its hidden waits, closed by WM_CLOSE.
  void RequestRelations();
  void Wait();
  bool DialogOpen() const;
  bool DialogShown() const;
  void CloseDialog();
  void ListHome() { listSelection_ = 0; }
  void ListDown();
  int32_t ListSelection() const { return scenario_.relations.empty() ? -1 : listSelection_; }
  // The relation the radio buttons show: that of the selected entry.
  int SelectedRelation() const;

 private:
  const Scenario scenario_;
  std::vector<std::string> entries_[2];  // indexed by Entries
  std::vector<bool> grown_[2];
  int keys_ = 0;  // keys the pane handled
  size_t incoming_ = 0;
  size_t outgoing_ = 0;
  bool composing_ = false;
  int32_t width_ = kPaneWidth;
  int32_t height_ = kPaneHeight;
  bool maximized_ = false;
  bool dialogRequested_ = false;
  bool dialogClosed_ = false;
  int waitsSinceRequest_ = 0;
  int32_t listSelection_ = 0;
};
