#include "win32/main_dialog.h"

#include "app/control_ids.h"
#include "app/main_window_layout.h"
#include "app/main_window_view.h"
#include "app/message_detail.h"
#include "app/save_as_text.h"
#include "archive/turn_store.h"
#include "reader/current_game.h"
#include "win32/about_dialog.h"
#include "win32/message_detail_dialog.h"
#include "win32/gdi_canvas.h"
#include "win32/wide_text.h"

namespace {

const int kButtons[] = {IDC_READ_FROM_GAME, IDC_LOAD_GAME,  IDC_CHANGE_RACE, IDC_TURN_LIST,
                        IDC_FILTER,         IDC_MESSAGE_DETAIL, IDC_SAVE_AS_TEXT, IDC_ABOUT,
                        IDC_QUIT,           IDC_PREV_TURN,  IDC_NEXT_TURN,   IDC_ALL_TURNS,
                        IDC_FIND};
const int kLabels[] = {IDC_FILTER_CAPTION, IDC_FILTER_LABEL, IDC_GAME_CAPTION, IDC_GAME_LABEL,
                       IDC_RACE_CAPTION,   IDC_RACE_LABEL,   IDC_YEAR_CAPTION, IDC_YEAR_LABEL};

// Sets a flag for the lifetime of the object, whatever ends it.
class SetWhileAlive {
 public:
  explicit SetWhileAlive(bool& flag) : flag_(flag) { flag_ = true; }
  ~SetWhileAlive() { flag_ = false; }
  SetWhileAlive(const SetWhileAlive&) = delete;
  SetWhileAlive& operator=(const SetWhileAlive&) = delete;

 private:
  bool& flag_;
};

Rect windowRect(HWND window) {
  RECT r{};
  if (window) GetWindowRect(window, &r);
  return ToRect(r);
}

}  // namespace

MainDialog::MainDialog(CurrentGame& game, const TurnStore& store, WindowOps& gameWindows)
    : Dialog(IDD_MAIN, nullptr), game_(game), store_(store), capture_(gameWindows, ui_, store) {
  icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
  for (int id : kButtons) AddOwnerDrawn(id, &buttons_[id]);
  for (int id : kLabels) labels_[id];
  AddOwnerDrawn(IDC_MESSAGE_LIST, &list_);
}

bool MainDialog::OnInit() {
  for (auto& [id, label] : labels_) label.Attach(Item(id));
  list_.Attach(Item(IDC_MESSAGE_LIST));
  SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  labels_[IDC_FILTER_LABEL].SetScale(0, 0);
  labels_[IDC_FILTER_CAPTION].SetScale(0, 0);
  RefreshMainWindow();
  return true;
}

bool MainDialog::OnCommand(int id, int code) {
  if (id == IDC_MESSAGE_LIST && code == LBN_SELCHANGE) {
    EnableWindow(Item(IDC_MESSAGE_DETAIL),
                 MessageDetailEnabled(game_, list_.SelectedId()) ? TRUE : FALSE);
    return true;
  }
  if (id == IDC_MESSAGE_LIST && code != LBN_DBLCLK) return false;
  // One command at a time: while one waits in a box or a dialog of its own,
  // a click that still reaches the window starts nothing.
  if (commandRunning_) return true;
  const SetWhileAlive running(commandRunning_);
  switch (id) {
    case IDC_READ_FROM_GAME: OnReadFromGame(); break;
    case IDC_LOAD_GAME: Run([&] { return commands_.OnLoadGame(); }); break;
    case IDC_CHANGE_RACE: Run([&] { return commands_.OnChangeRace(); }); break;
    case IDC_TURN_LIST: Run([&] { return commands_.OnTurnList(); }); break;
    case IDC_NEXT_TURN: Run([&] { return commands_.OnNextTurn(); }); break;
    case IDC_PREV_TURN: Run([&] { return commands_.OnPrevTurn(); }); break;
    case IDC_FILTER: Run([&] { return commands_.OnFilter(); }); break;
    case IDC_ALL_TURNS: Run([&] { return commands_.OnAllTurns(); }); break;
    case IDC_FIND: Run([&] { return commands_.OnFind(); }); break;
    case IDC_MESSAGE_DETAIL: OnMessageDetail(); break;
    case IDC_SAVE_AS_TEXT: SaveMessagesAsText(game_, ui_, store_.Files()); break;
    case IDC_ABOUT:
      AboutDialog(Handle(), game_, DumpFileBesideTheProgram(store_.Layout())).DoModal();
      break;
    case IDC_QUIT: End(IDOK); break;
    case IDC_MESSAGE_LIST: OnMessageDetail(); break;  // a double click
    default:
      return false;
  }
  return true;
}

void MainDialog::OnCancel() {
  if (!commandRunning_) End(IDCANCEL);
}

void MainDialog::Run(const std::function<CommandOutcome()>& command,
                     const CommandOutcome& whenRaised) {
  RunCommand(command, [&](const CommandOutcome& outcome) { Apply(outcome); }, whenRaised);
}

void MainDialog::Apply(const CommandOutcome& outcome) {
  if (outcome.restore) {
    // Back from the game's maximised frame: in front again.
    ShowWindow(Handle(), SW_RESTORE);
    SetForegroundWindow(Handle());
  }
  if (outcome.filterLabel) labels_[IDC_FILTER_LABEL].SetText(*outcome.filterLabel);
  if (outcome.marks) {
    marks_ = *outcome.marks;
    list_.SetMarks(marks_);
  }
  if (outcome.refresh) RefreshMainWindow();
  if (outcome.yearLabel) labels_[IDC_YEAR_LABEL].SetText(*outcome.yearLabel);
}

void MainDialog::OnMessageDetail() {
  const CachePosition position = FindMessage(game_.MessageTable(), list_.SelectedId());
  if (position.isEnd()) return;
  MessageDetailDialog(Handle(), game_, position, marks_.get()).DoModal();
}

bool MainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return true;
    case WM_ERASEBKGND:
      *result = 1;  // the paint fills the background
      return true;
    case WM_QUERYDRAGICON:
      *result = reinterpret_cast<INT_PTR>(icon_);
      return true;
    case WM_SIZE:
      LayOut(LOWORD(lParam), HIWORD(lParam));
      return true;
    case WM_GETMINMAXINFO:
      return LimitSize(*reinterpret_cast<MINMAXINFO*>(lParam));
    default:
      (void)wParam;
      return false;
  }
}

void MainDialog::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Handle(), &paint);
  RECT client;
  GetClientRect(Handle(), &client);
  if (IsIconic(Handle())) {
    SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
  } else {
    GdiCanvas canvas(dc);
    // The whole client area, however large the window is maximised.
    canvas.FillRect(ToRect(client), kBackground);
    canvas.SetTextColor(kForeground);
  }
  EndPaint(Handle(), &paint);
}

bool MainDialog::LimitSize(MINMAXINFO& limits) {
  HWND lowest = Item(IDC_FIND);
  HWND list = Item(IDC_MESSAGE_LIST);
  if (lowest == nullptr || list == nullptr) return false;  // still being made
  RECT button = {};
  RECT listRect = {};
  GetWindowRect(lowest, &button);
  GetWindowRect(list, &listRect);
  MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&button), 2);
  MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&listRect), 2);
  const ClientSize minimum = MinimumClientSize(button.bottom, listRect.left);
  RECT outer{0, 0, minimum.width, minimum.height};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)));
  limits.ptMinTrackSize.x = outer.right - outer.left;
  limits.ptMinTrackSize.y = outer.bottom - outer.top;
  return true;
}

void MainDialog::LayOut(int width, int height) {
  MainWindowLayout layout;
  HWND list = Item(IDC_MESSAGE_LIST);
  if (!ComputeMainWindowLayout(width, height, windowRect(Handle()), windowRect(list), &layout)) {
    return;
  }
  if (list) {
    SetWindowPos(list, nullptr, 0, 0, layout.listWidth, layout.listHeight,
                 SWP_NOMOVE | SWP_NOZORDER);
  }
  const std::pair<HWND, POINT> moves[] = {{Item(IDC_ABOUT), {layout.aboutX, layout.aboutY}},
                                          {Item(IDC_QUIT), {layout.quitX, layout.quitY}}};
  for (const auto& [button, at] : moves) {
    if (!button) continue;
    SetWindowPos(button, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

void MainDialog::RefreshMainWindow() {
  const MainWindowView view = BuildMainWindowView(game_, filter_);
  SetWindowTextW(Handle(), ToWide(view.title).c_str());
  labels_[IDC_GAME_LABEL].SetText(view.gameLabel);
  labels_[IDC_RACE_LABEL].SetText(view.raceLabel);
  if (view.colorRaceLabel) labels_[IDC_RACE_LABEL].SetTextColor(view.raceLabelColor);
  labels_[IDC_YEAR_LABEL].SetText(view.yearLabel);
  for (const auto& [id, enabled] : view.enabling) {
    // A control that loses its focus with its enabling hands it to "Read
    // from Vandor!", which is always enabled, so that the keys keep working.
    if (!enabled && GetFocus() == Item(id)) {
      SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_READ_FROM_GAME)), TRUE);
    }
    EnableWindow(Item(id), enabled ? TRUE : FALSE);
  }
  list_.Fill(view.items);
}

void MainDialog::OnReadFromGame() {
  // However the capture ends, the window comes back and shows how far it got.
  Run([&] { return capture_.OnReadFromGame(game_); }, MessageCapture::AfterCapture());
}
