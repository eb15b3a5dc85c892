#include "win32/sim/sim_windows.h"

#include <algorithm>

#include "reader/game_windows.h"
#include "reader/player_relations.h"
#include "win32/wide_text.h"

namespace {

constexpr int kNextId = 101;
constexpr int kPrevId = 102;
constexpr int kListId = 201;
constexpr UINT_PTR kDialogTimer = 1;
// The pane brings its edits' display up to date this long after a change.
constexpr UINT_PTR kShowTextsTimer = 2;
constexpr UINT kDestroyDialog = WM_APP + 2;
constexpr UINT kShowTextsDelay = 200;
constexpr DWORD kHang = 120000;  // a hung game comes back (and ends) after this long

const wchar_t kFrameClass[] = L"vandorframe";
const wchar_t kPaneClass[] = L"vandormessage";
const wchar_t kIdleClass[] = L"vandorsim";

// The object behind a window, stored in its user data.
template <class T>
T* objectOf(HWND window) {
  return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void attach(HWND window, LPARAM createParam) {
  const auto* create = reinterpret_cast<const CREATESTRUCTW*>(createParam);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
}

HWND child(const wchar_t* className, const std::wstring& text, DWORD style, HWND parent, int id,
           HINSTANCE instance) {
  return CreateWindowExW(0, className, text.c_str(), WS_CHILD | style, 0, 0, 10, 10, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

}  // namespace

template <LRESULT (SimWindows::*handler)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK SimWindows::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) attach(window, lParam);
  SimWindows* self = objectOf<SimWindows>(window);
  return self ? (self->*handler)(window, message, wParam, lParam)
              : DefWindowProcW(window, message, wParam, lParam);
}

bool SimWindows::Create(HINSTANCE instance) {
  instance_ = instance;
  const Scenario& s = model_.scenario();
  WNDCLASSW frameClass{};
  frameClass.lpfnWndProc = Route<&SimWindows::OnFrame>;
  frameClass.hInstance = instance;
  frameClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
  frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  frameClass.lpszClassName = s.noFrame ? kIdleClass : kFrameClass;
  WNDCLASSW paneClass = frameClass;
  paneClass.lpfnWndProc = Route<&SimWindows::OnPane>;
  paneClass.lpszClassName = kPaneClass;
  paneClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  if (!RegisterClassW(&frameClass) || !RegisterClassW(&paneClass)) return false;

  const std::wstring title =
      s.noFrame ? L"Vandor! (simulated) - no game running" : ToWide(s.title);
  frame_ = CreateWindowExW(0, frameClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, 640, 460, nullptr, nullptr, instance, this);
  if (frame_ == nullptr) return false;
  if (!s.noFrame && !s.noPane) {
    pane_ = CreateWindowExW(0, kPaneClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                            GameModel::kPaneWidth, GameModel::kPaneHeight, frame_, nullptr,
                            instance, this);
    if (pane_ == nullptr) return false;
    CreatePaneChildren();
  }
  ShowWindow(frame_, SW_SHOWNORMAL);
  UpdateWindow(frame_);
  return true;
}

void SimWindows::CreatePaneChildren() {
  const Scenario& s = model_.scenario();
  const bool german = s.language == Scenario::Language::kGerman;
  const DWORD editStyle = WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL;
  auto makeReading = [&] {
    readingEdit_ = child(L"Edit", L"", editStyle | ES_READONLY | WS_VISIBLE, pane_, 0, instance_);
  };
  auto makeCompose = [&] { composeEdit_ = child(L"Edit", L"", editStyle, pane_, 0, instance_); };
  if (s.singleEdit) {
    makeReading();
  } else if (s.composeEditFirst) {
    makeCompose();
    makeReading();
  } else {
    makeReading();
    makeCompose();
  }
  if (!s.noNextButton) {
    next_ = child(L"Button", ToWide(german ? game_ui::kNextGerman : game_ui::kNextEnglish),
                  WS_VISIBLE | BS_PUSHBUTTON, pane_, kNextId, instance_);
  }
  if (!s.noPrevButton) {
    prev_ = child(L"Button", ToWide(german ? game_ui::kPrevGerman : game_ui::kPrevEnglish),
                  WS_VISIBLE | BS_PUSHBUTTON, pane_, kPrevId, instance_);
  }
  if (!s.noCombo) {
    combo_ = child(L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, pane_, 0, instance_);
    for (const std::string& entry : s.recipients) {
      SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(entry).c_str()));
    }
    WatchEntries(combo_);
  }
  for (HWND edit : {readingEdit_, composeEdit_}) {
    if (edit == nullptr) continue;
    SetWindowLongPtrW(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  }
  LayOutPane();
  Sync();
}

LRESULT CALLBACK SimWindows::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SimWindows* self = objectOf<SimWindows>(window);
  // The edits answer for the text the game holds now; what they show
  // catches up a moment later (drawing a long text takes the edit control
  // longer than the game takes to change it).
  if (message == WM_GETTEXT || message == WM_GETTEXTLENGTH) {
    const std::wstring text = ToWide(window == self->readingEdit_ ? self->model_.ReadingText()
                                                                  : self->model_.ComposeText());
    if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
    if (wParam == 0) return 0;
    const size_t count = std::min<size_t>(text.size(), wParam - 1);
    auto* buffer = reinterpret_cast<wchar_t*>(lParam);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(count), buffer);
    buffer[count] = L'\0';
    return static_cast<LRESULT>(count);
  }
  return CallWindowProcW(self->editProc_, window, message, wParam, lParam);
}

void SimWindows::WatchEntries(HWND window) {
  if (model_.scenario().entryGrowth <= 0) return;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EntriesProc)));
  (window == combo_ ? comboProc_ : listProc_) = previous;
}

LRESULT CALLBACK SimWindows::EntriesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SimWindows* self = objectOf<SimWindows>(window);
  const bool combo = window == self->combo_;
  const LRESULT result =
      CallWindowProcW(combo ? self->comboProc_ : self->listProc_, window, message, wParam, lParam);
  // The entry changes once its length has been told: the text read next
  // is longer than the length said.
  if (message == (combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN) && result >= 0) {
    const auto entries = combo ? GameModel::Entries::kRecipients : GameModel::Entries::kRelations;
    if (self->model_.EntryLengthAsked(entries, wParam)) self->ReplaceEntry(window, wParam);
  }
  return result;
}

void SimWindows::ReplaceEntry(HWND window, WPARAM index) {
  const bool combo = window == combo_;
  const auto entries = combo ? GameModel::Entries::kRecipients : GameModel::Entries::kRelations;
  const std::wstring text = ToWide(model_.EntryTexts(entries)[index]);
  const LRESULT selection = SendMessageW(window, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
  SendMessageW(window, combo ? CB_DELETESTRING : LB_DELETESTRING, index, 0);
  SendMessageW(window, combo ? CB_INSERTSTRING : LB_INSERTSTRING, index,
               reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(window, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

void SimWindows::ShowTexts() {
  textsPending_ = false;
  if (readingEdit_ && shownReading_ != model_.ReadingText()) {
    shownReading_ = model_.ReadingText();
    SetWindowTextW(readingEdit_, ToWide(shownReading_).c_str());
  }
  if (composeEdit_ && shownCompose_ != model_.ComposeText()) {
    shownCompose_ = model_.ComposeText();
    SetWindowTextW(composeEdit_, ToWide(shownCompose_).c_str());
  }
}

void SimWindows::LayOutPane() {
  RECT client;
  GetClientRect(pane_, &client);
  const int width = client.right;
  const int height = client.bottom;
  for (HWND edit : {readingEdit_, composeEdit_}) {
    if (edit) MoveWindow(edit, 8, 64, width - 16, height > 72 ? height - 72 : 0, TRUE);
  }
  if (prev_) MoveWindow(prev_, 8, 30, 80, 26, TRUE);
  if (next_) MoveWindow(next_, 96, 30, 80, 26, TRUE);
  if (combo_) MoveWindow(combo_, 184, 30, 240, 200, TRUE);
}

void SimWindows::Sync() {
  const bool composing = model_.ComposeMode();
  if (!textsPending_) {
    textsPending_ = true;
    SetTimer(pane_, kShowTextsTimer, kShowTextsDelay, nullptr);
  }
  if (readingEdit_) ShowWindow(readingEdit_, composing ? SW_HIDE : SW_SHOWNA);
  if (composeEdit_) ShowWindow(composeEdit_, composing ? SW_SHOWNA : SW_HIDE);
  if (next_) EnableWindow(next_, !model_.NextDisabled());
  if (prev_) EnableWindow(prev_, !model_.PrevDisabled());
  if (combo_) {
    SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(model_.ComboSelection()), 0);
    const bool shown = composing && !model_.scenario().comboHidden;
    ShowWindow(combo_, shown ? SW_SHOWNA : SW_HIDE);
  }
}

void SimWindows::PaintModeHint(HWND window) {
  // Where a click switches the mode, say what it switches to.
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  RECT hint{client.right - 40, 0, client.right, 30};
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, model_.ComposeMode() ? L"read" : L"write", -1, &hint,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  EndPaint(window, &paint);
}

void SimWindows::HangIfDue() {
  if (!model_.Hung()) return;
  ::Sleep(kHang);
  ExitProcess(3);
}

void SimWindows::VanishIfDue() {
  // The frame takes the pane, its controls and the dialog with it; the
  // program ends with it.
  if (model_.Vanished() && frame_ != nullptr) DestroyWindow(frame_);
}

LRESULT SimWindows::OnFrame(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETTEXT: {
      const LRESULT length = DefWindowProcW(window, message, wParam, lParam);
      if (InSendMessage() && ++titlesTold_ == model_.scenario().hangAfterTitles) {
        // The reader gets its answer, then the game hangs at once, before
        // any other message of the reader is handled.
        ReplyMessage(length);
        ::Sleep(kHang);
        ExitProcess(3);
      }
      return length;
    }
    case WM_SIZE:
      if (pane_) MoveWindow(pane_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == game_ui::kRelationsCommand) {
        model_.RequestRelations();
        OfferDialog();
      }
      return 0;
    case WM_TIMER:
      if (wParam == kDialogTimer) {
        model_.Wait();
        OfferDialog();
      }
      return 0;
    case WM_DESTROY:
      frame_ = pane_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void SimWindows::OfferDialog() {
  if (model_.DialogOpen() && dialog_ == nullptr) CreateDialogWindow();
  if (model_.DialogShown()) {
    KillTimer(frame_, kDialogTimer);
    if (dialog_ != nullptr && !dialogComplete_) CompleteDialog();
  } else if (!model_.scenario().dialogNever) {
    // One wait of the reader is half a second.
    SetTimer(frame_, kDialogTimer, game_ui::kDialogWait, nullptr);
  }
}

LRESULT SimWindows::OnPane(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kShowTextsTimer) {
        KillTimer(window, kShowTextsTimer);
        ShowTexts();
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_HOME) model_.Home();
      if (wParam == VK_DOWN) model_.Down();
      Sync();
      HangIfDue();
      VanishIfDue();
      return 0;
    case WM_LBUTTONUP:
      model_.ClickPane(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      Sync();
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_SIZE:
      model_.Resize(LOWORD(lParam), HIWORD(lParam));
      if (readingEdit_) LayOutPane();
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_PAINT:
      PaintModeHint(window);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kNextId) model_.PressNext();
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kPrevId) model_.PressPrev();
      Sync();
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void SimWindows::CreateDialogWindow() {
  const Scenario& s = model_.scenario();
  const bool german = s.language == Scenario::Language::kGerman;
  const std::wstring caption =
      ToWide(german ? game_ui::kRelationsGerman : game_ui::kRelationsEnglish);
  // The dialog never takes the activation, so that closing it gives none
  // back (which can stall a desktop without a window manager).
  dialog_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_NOACTIVATE, L"#32770", caption.c_str(),
                            WS_POPUP | WS_CAPTION | WS_SYSMENU, 120, 120, 360, 260, frame_,
                            nullptr, instance_, nullptr);
  if (dialog_ == nullptr) return;
  dialogComplete_ = false;
  SetWindowLongPtrW(dialog_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(dialog_, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(DialogProc));
}

void SimWindows::CompleteDialog() {
  const Scenario& s = model_.scenario();
  const bool german = s.language == Scenario::Language::kGerman;
  dialogComplete_ = true;
  if (!s.noListBox) {
    // Without strings the entries are numbers (1, 2, ...) that the dialog
    // draws as the races' names.
    const DWORD kind = s.listWithoutStrings ? LBS_OWNERDRAWFIXED : 0;
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"ListBox", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | kind, 12, 12, 200,
                            200, dialog_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
                            instance_, nullptr);
    for (size_t i = 0; i < s.relations.size(); ++i) {
      const std::wstring name = ToWide(s.relations[i].name);
      SendMessageW(list_, LB_ADDSTRING, 0,
                   s.listWithoutStrings ? static_cast<LPARAM>(i + 1)
                                        : reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageW(list_, LB_SETCURSEL, 0, 0);
    if (!s.listWithoutStrings) WatchEntries(list_);
  }
  const char* captions[3] = {german ? game_ui::kFriendGerman : game_ui::kFriendEnglish,
                             game_ui::kNeutral,
                             german ? game_ui::kEnemyGerman : game_ui::kEnemyEnglish};
  const bool missing[3] = {s.noFriendButton, s.noNeutralButton, s.noEnemyButton};
  for (int i = 0; i < 3; ++i) {
    if (missing[i]) continue;
    relationButtons_[i] = CreateWindowExW(0, L"Button", ToWide(captions[i]).c_str(),
                                          WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON, 224, 12 + 30 * i,
                                          120, 24, dialog_, nullptr, instance_, nullptr);
  }
  ShowSelectedRelation();
  ShowWindow(dialog_, SW_SHOWNOACTIVATE);
}

void SimWindows::ShowSelectedRelation() {
  const std::vector<Scenario::Relation>& relations = model_.scenario().relations;
  const LRESULT selection = list_ ? SendMessageW(list_, LB_GETCURSEL, 0, 0) : LB_ERR;
  const int shown = selection >= 0 && static_cast<size_t>(selection) < relations.size()
                        ? relations[static_cast<size_t>(selection)].relation
                        : Scenario::kNoRelation;
  for (int i = 0; i < 3; ++i) {
    if (relationButtons_[i]) {
      SendMessageW(relationButtons_[i], BM_SETCHECK, i == shown ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
}

INT_PTR CALLBACK SimWindows::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SimWindows* self = objectOf<SimWindows>(window);
  return self ? self->OnDialog(window, message, wParam, lParam) : FALSE;
}

void SimWindows::DrawListEntry(const DRAWITEMSTRUCT& item) {
  const std::vector<Scenario::Relation>& relations = model_.scenario().relations;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem,
           GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemData == 0 || item.itemData > relations.size()) return;
  RECT text = item.rcItem;
  text.left += 2;
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(item.hDC, ToWide(relations[item.itemData - 1].name).c_str(), -1, &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

INT_PTR SimWindows::OnDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 16;
      return TRUE;
    case WM_DRAWITEM:
      DrawListEntry(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_SELCHANGE) ShowSelectedRelation();
      if (LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
      return TRUE;
    case WM_CLOSE:
      // Hidden at once, destroyed when the game is idle again.
      ShowWindow(window, SW_HIDE);
      PostMessageW(window, kDestroyDialog, 0, 0);
      return TRUE;
    case kDestroyDialog:
      DestroyWindow(window);
      return TRUE;
    case WM_DESTROY:
      dialog_ = nullptr;
      dialogComplete_ = false;
      list_ = nullptr;
      for (HWND& button : relationButtons_) button = nullptr;
      model_.CloseDialog();
      return TRUE;
    default:
      return FALSE;
  }
}
