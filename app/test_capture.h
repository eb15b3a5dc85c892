// A capture for tests: "Read from Vandor!" against the in-process fake of
// a scenario, with the turn entered by a scripted user.
#pragma once

#include <cstdint>

#include "app/message_capture.h"
#include "app/test_user_interface.h"
#include "archive/turn_store.h"
#include "reader/current_game.h"
#include "sim/fake_game.h"

namespace testing_capture {

// Captures `scenario` as turn `turn` into `game` and stores it in `store`;
// a stored turn is read again (the overwrite question is answered with
// OK). Returns the user interface with what the capture showed.
inline testing_ui::ScriptedUi CaptureFromFake(const Scenario& scenario, int32_t turn,
                                             const TurnStore& store, CurrentGame& game) {
  FakeGame fake(scenario);
  testing_ui::ScriptedUi ui;
  ui.turnAnswer = turn;
  MessageCapture(fake, ui, store).ReadFromGame(game);
  return ui;
}

}  // namespace testing_capture
