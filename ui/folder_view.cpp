#include "ui/folder_view.h"

#include <commctrl.h>
#include <shellapi.h>

#include <unordered_map>

#include "disk/wide_text.h"
#include "level/words/failure_words.h"
#include "ui/control_ids.h"
#include "ui/dpi.h"
#include "ui/fonts.h"
#include "ui/given_level.h"
#include "ui/message_loop.h"
#include "ui/program_window.h"
#include "ui/resource_ids.h"

namespace ornivale {
namespace {

constexpr wchar_t kClassName[] = L"OrnivaleFolderView";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// Tab between the controls as in a dialog; folders dropped from Explorer.
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES;
// Posted once for a run of selection changes (Ctrl+A changes every row).
constexpr UINT kSelectionChanged = WM_APP + 1;
// Posted when the long work has something to tell.
constexpr UINT kWorkReports = WM_APP + 2;
// Changes on disk are read once they have settled for this long.
constexpr UINT_PTR kChangesTimer = 1;
constexpr UINT kChangesSettleMs = 300;
// The levels read between two reports of a folder's reading.
constexpr std::size_t kRowsAReport = 64;

// The drop-down list of each flag, in kFlags' order: its label, its ID and
// its label's.
struct FlagControls {
  const wchar_t* label;
  int label_id;
  int list_id;
};
constexpr FlagControls kFlagControls[kFlagCount] = {
    {L"&Lara type", folder_view_id::LaraTypeLabel, folder_view_id::LaraType},
    {L"&Weather", folder_view_id::WeatherLabel, folder_view_id::Weather},
};

// The buttons, in tab order, and the command each runs.
struct CommandButton {
  const wchar_t* text;
  int id;
  RowsCommand command;
  const char* running;  // what the status line says meanwhile
  const char* nothing_selected;
};
constexpr CommandButton kButtons[] = {
    {L"&Save", folder_view_id::Save, RowsCommand::Save, "saving",
     "select the levels to save first"},
    {L"&Restore original values", folder_view_id::Restore, RowsCommand::Restore, "restoring",
     "select the levels to restore first"},
    {L"&Apply again", folder_view_id::ApplyAgain, RowsCommand::ApplyAgain, "applying again",
     "select the levels to apply Ornivale's values to again first"},
};

// Sizes at 96 DPI.
constexpr int kMargin = 8;
constexpr int kGap = 6;
constexpr int kRowHeight = 25;
constexpr int kListWidth = 150;
constexpr SIZE kClient{720, 420};

int TextWidth(HWND control, HFONT font) {
  const std::wstring text = [&] {
    std::wstring t(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    t.resize(
        static_cast<std::size_t>(GetWindowTextW(control, t.data(), static_cast<int>(t.size()))));
    return t;
  }();
  const HDC dc = GetDC(control);
  const HGDIOBJ old = SelectObject(dc, font);
  RECT r{};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return r.right - r.left;
}

std::wstring Plural(std::size_t count, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

std::string Counting(const char* doing, std::size_t done, std::size_t of) {
  return std::string(doing) + " " + std::to_string(done) + " of " + std::to_string(of) +
         (of == 1 ? " level" : " levels") + ", Esc stops";
}

}  // namespace

FolderView::FolderView(HINSTANCE instance, Disk& disk, const History& history,
                       std::function<void()> closed,
                       std::function<void(const std::wstring&)> open_level)
    : instance_(instance),
      disk_(disk),
      history_(history),
      closed_(std::move(closed)),
      open_level_(std::move(open_level)) {}

FolderView::~FolderView() {
  closed_ = nullptr;
  if (hwnd_) DestroyWindow(hwnd_);
}

bool FolderView::Open(const std::wstring& folder) {
  if (!hwnd_) {
    if (!RegisterProgramWindowClass(instance_, kClassName, ProgramWindowProc<FolderView>,
                                    reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) {
      return false;
    }
    // Sized in WM_CREATE, once the window knows its DPI.
    if (!CreateWindowExW(kExStyle, kClassName, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                         nullptr, nullptr, instance_, this)) {
      return false;
    }
  }
  // Another folder starts in its own order, and nothing picked.
  if (Narrow(folder) != folder_) {
    folder_ = Narrow(folder);
    levels_.Unsort();
    rows_.clear();
    picked_ = {};
    watch_.reset();
    BackgroundWork* work = work_.get();
    watch_ = std::make_unique<FolderWatch>(folder, [this, work](FolderChanges changes) {
      work->Tell([this, changes = std::move(changes)] {
        changed_.insert(changes.written.begin(), changes.written.end());
        listing_changed_ |= changes.listing;
        SetTimer(hwnd_, kChangesTimer, kChangesSettleMs, nullptr);
      });
    });
  }
  ReadFolder();
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd_);
  return true;
}

void FolderView::Attached(HWND hwnd) { hwnd_ = hwnd; }

// Opened again, the window starts anew.
void FolderView::Detached() {
  watch_.reset();
  work_.reset();
  hwnd_ = nullptr;
  rows_.clear();
  folder_.clear();
  progress_.clear();
  last_done_.clear();
  changed_.clear();
  listing_changed_ = false;
  if (closed_) closed_();
}

LRESULT FolderView::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (focus_.Handle(hwnd_, message, wparam, lparam)) return 0;
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_GETMINMAXINFO:
      OnMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lparam));
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
    case kSelectionChanged:
      // The last result was of the selection before.
      last_done_.clear();
      SelectionChanged();
      return 0;
    case kWorkReports:
      if (work_) work_->RunReports();
      return 0;
    case WM_TIMER:
      if (wparam == kChangesTimer) OnFolderChanged();
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wparam));
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

bool FolderView::OnCreate() {
  work_ = std::make_unique<BackgroundWork>(hwnd_, kWorkReports);
  // Created in tab order: the levels, each list after its label, the
  // buttons, and the status line, which takes no focus.
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  if (!levels_.Create(hwnd_, instance_, folder_view_id::Levels)) return false;
  focus_.SetFirst(levels_.hwnd());
  for (std::size_t flag = 0; flag < kFlagCount; ++flag) {
    labels_[flag] = CreateChild(L"Static", kFlagControls[flag].label,
                                kChild | SS_LEFT | SS_CENTERIMAGE, 0, kFlagControls[flag].label_id);
    lists_[flag] =
        CreateChild(L"ComboBox", L"", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                    kFlagControls[flag].list_id);
  }
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i] = CreateChild(L"Button", kButtons[i].text, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0,
                              kButtons[i].id);
    if (!buttons_[i]) return false;
  }
  status_ = CreateChild(STATUSCLASSNAMEW, L"", kChild | SBARS_SIZEGRIP, 0, folder_view_id::Status);
  if (!status_ || !screen_reader_.Create(hwnd_, instance_, folder_view_id::Announcement)) {
    return false;
  }
  for (std::size_t flag = 0; flag < kFlagCount; ++flag) {
    if (!labels_[flag] || !lists_[flag]) return false;
    SendMessageW(lists_[flag], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kKeepEach));
    for (const FlagEntry& entry : kFlags[flag].entries) {
      SendMessageW(lists_[flag], CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(Wide(entry.text).c_str()));
    }
    SendMessageW(lists_[flag], CB_SETCURSEL, 0, 0);
  }
  UseWindowKeys(hwnd_, IDA_FOLDER_VIEW);
  const UINT dpi = DpiForWindow(hwnd_);
  ApplyDpi(dpi);
  const SIZE window = WindowSizeForClient(
      {MulDiv(kClient.cx, dpi, 96), MulDiv(kClient.cy, dpi, 96)}, kStyle, kExStyle, dpi);
  SetWindowPos(hwnd_, nullptr, 0, 0, window.cx, window.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

HWND FolderView::CreateChild(const wchar_t* window_class, const wchar_t* text, DWORD style,
                             DWORD ex_style, int id) {
  return CreateWindowExW(ex_style, window_class, text, style, 0, 0, 0, 0, hwnd_,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
}

void FolderView::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  font_ = CreateButtonFont(dpi);
  const auto set_font = [&](HWND control) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  };
  for (HWND control : {levels_.hwnd(), status_}) set_font(control);
  for (HWND button : buttons_) set_font(button);
  for (std::size_t flag = 0; flag < kFlagCount; ++flag) {
    set_font(labels_[flag]);
    set_font(lists_[flag]);
  }
  levels_.ScaleColumns(dpi);
  icons_.SetFor(hwnd_, instance_, dpi);
  LayOut();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

// The levels fill the window above a row of the lists, a row of the
// buttons at its right, and the status line at the bottom.
void FolderView::LayOut() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  SendMessageW(status_, WM_SIZE, 0, 0);
  RECT status{};
  GetWindowRect(status_, &status);
  const int margin = Scaled(kMargin);
  const int gap = Scaled(kGap);
  const int row = Scaled(kRowHeight);
  const int buttons_top = client.bottom - (status.bottom - status.top) - margin - row;
  const int lists_top = buttons_top - gap - row;
  MoveWindow(levels_.hwnd(), margin, margin, client.right - 2 * margin, lists_top - 2 * margin,
             TRUE);

  int x = margin;
  for (std::size_t flag = 0; flag < kFlagCount; ++flag) {
    const int label = TextWidth(labels_[flag], font_.get()) + Scaled(2);
    MoveWindow(labels_[flag], x, lists_top, label, row, TRUE);
    x += label + Scaled(2);
    // The window's height holds the dropped list too.
    MoveWindow(lists_[flag], x, lists_top + Scaled(2), Scaled(kListWidth), Scaled(200), TRUE);
    x += Scaled(kListWidth) + 2 * gap;
  }
  int right = client.right - margin;
  for (auto button = buttons_.rbegin(); button != buttons_.rend(); ++button) {
    const int width = std::max(Scaled(80), TextWidth(*button, font_.get()) + Scaled(24));
    MoveWindow(*button, right - width, buttons_top, width, row, TRUE);
    right -= width + gap;
  }
}

void FolderView::OnMinMaxInfo(MINMAXINFO& info) const {
  const SIZE least = WindowSizeForClient({Scaled(560), Scaled(240)}, kStyle, kExStyle, dpi_);
  info.ptMinTrackSize = {least.cx, least.cy};
}

void FolderView::OnDpiChanged(UINT dpi, const RECT& suggested) {
  ApplyDpi(dpi);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FolderView::OnCommand(int id, int code, HWND control) {
  // A shortcut's command comes from no control.
  constexpr int kFromShortcut = 1;
  if (!control && code == kFromShortcut) {
    if (id == IDM_READ_AGAIN && !Busy()) ReadFolder();
    if (id == IDM_SELECT_ALL) levels_.SelectAll();
    return;
  }
  // Esc, as a dialog hands it on: the long work stops after the level in
  // hand.
  if (id == IDCANCEL && Busy()) return work_->Stop();
  // Enter, which a dialog's keys make the default button's: on the rows it
  // opens the level, as in Explorer.
  if (id == IDOK && GetFocus() == levels_.hwnd()) return OpenRow(levels_.ActiveRow());
  for (std::size_t flag = 0; flag < kFlagCount; ++flag) {
    if (id == kFlagControls[flag].list_id && code == CBN_SELCHANGE) picked_[flag] = true;
  }
  if (code != BN_CLICKED) return;
  for (const CommandButton& button : kButtons) {
    if (id == button.id) Run(button.command);
  }
}

LRESULT FolderView::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != levels_.hwnd()) return 0;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      levels_.TellCell(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
      return 0;
    case LVN_ITEMACTIVATE:
      OpenRow(levels_.RowAt(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem));
      return 0;
    case LVN_COLUMNCLICK:
      levels_.SortBy(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
      return 0;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
      // Posted once for a run of them; not where the view only keeps the
      // selection through a new order or new rows, which keeps the lists'
      // picks.
      if (!selection_pending_ && !levels_.KeepingSelection()) {
        selection_pending_ = true;
        PostMessageW(hwnd_, kSelectionChanged, 0, 0);
      }
      return 0;
    default:
      return 0;
  }
}

void FolderView::OnDropFiles(HDROP drop) {
  const std::optional<std::wstring> path = FirstDroppedFile(drop);
  DragFinish(drop);
  if (path && NamesFolder(*path, disk_) && !Busy()) Open(*path);
}

// Changes on disk, once settled: the levels written are read again, the
// whole folder where files came or went. Not while a command writes.
void FolderView::OnFolderChanged() {
  if (Busy()) return;
  KillTimer(hwnd_, kChangesTimer);
  if (listing_changed_) {
    ReadFolder();
  } else if (!changed_.empty()) {
    ReadAgain(changed_);
  }
  changed_.clear();
  listing_changed_ = false;
}

void FolderView::ReadFolder() {
  std::string full = disk_.FullPath(folder_);
  if (full.size() > 1 && std::string(disk_.Separators()).find(full.back()) != std::string::npos &&
      full[full.size() - 2] != ':') {
    full.pop_back();
  }
  SetWindowTextW(hwnd_, (Wide(full) + kCaptionEnd).c_str());
  // The rows selected before are selected again.
  std::vector<std::string> selected;
  for (std::size_t row : levels_.SelectedRows()) selected.push_back(rows_[row].path);
  const std::size_t generation = ++generation_;
  work_->Stop();
  progress_ = "reading the levels";
  last_done_.clear();
  ShowStatus();
  // The tasks reach their work through `work`: `work_` is emptied before
  // its thread has ended.
  BackgroundWork* work = work_.get();
  work->Post([this, work, generation, folder = folder_, selected] {
    LevelStatus why;
    std::vector<LevelRow> rows = ListFolderRows(folder, disk_, &why);
    work->Tell([this, generation, rows, why, selected] {
      ShowListed(generation, rows, why, selected);
    });
    std::vector<std::pair<std::size_t, LevelRow>> read;
    for (std::size_t i = 0; i < rows.size() && !work->Stopping(); ++i) {
      ReadRow(rows[i], disk_);
      read.emplace_back(i, rows[i]);
      if (read.size() == kRowsAReport || i + 1 == rows.size()) {
        work->Tell([this, generation, read = std::move(read), of = rows.size()]() mutable {
          const std::size_t done = read.back().first + 1;
          TakeRows(generation, std::move(read));
          ShowShared();
          if (generation == generation_) progress_ = Counting("reading", done, of);
          ShowStatus();
        });
        read.clear();
      }
    }
    FindLostValues(rows, history_, disk_);
    for (std::size_t i = 0; i < rows.size(); ++i) read.emplace_back(i, std::move(rows[i]));
    work->Tell([this, generation, read = std::move(read)]() mutable {
      if (generation != generation_) return;
      TakeRows(generation, std::move(read));
      progress_.clear();
      levels_.Resort();
      ShowShared();
      ShowStatus();
    });
  });
}

// The rows of a new reading, shown at once with what was read of them
// before, until they are read again.
void FolderView::ShowListed(std::size_t generation, std::vector<LevelRow> rows,
                            const LevelStatus& why, const std::vector<std::string>& selected) {
  if (generation != generation_) return;
  std::unordered_map<std::string, const LevelRow*> before;
  for (const LevelRow& row : rows_) before.emplace(row.path, &row);
  for (LevelRow& row : rows) {
    const auto found = before.find(row.path);
    if (found != before.end()) row = *found->second;
  }
  rows_ = std::move(rows);
  if (!why.ok()) {
    last_done_ =
        why.code == LevelCode::NoLevelFound ? "the folder holds no .trc level" : WindowMessage(why);
  }
  levels_.Show(rows_, selected);
  if (rows_.empty()) progress_.clear();
  ShowShared();
  ShowStatus();
}

void FolderView::ReadAgain(const std::set<std::wstring>& names) {
  std::vector<std::pair<std::size_t, LevelRow>> rows;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (names.count(Wide(rows_[i].name)) != 0) rows.emplace_back(i, rows_[i]);
  }
  if (rows.empty()) return;
  BackgroundWork* work = work_.get();
  work->Post([this, work, generation = generation_, rows = std::move(rows)]() mutable {
    std::vector<LevelRow> read;
    for (auto& [i, row] : rows) {
      ReadRow(row, disk_);
      read.push_back(row);
    }
    FindLostValues(read, history_, disk_);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i].second = std::move(read[i]);
    work->Tell([this, generation, rows = std::move(rows)]() mutable {
      TakeRows(generation, std::move(rows));
      ShowShared();
      levels_.Resort();
    });
  });
}

void FolderView::TakeRows(std::size_t generation,
                          std::vector<std::pair<std::size_t, LevelRow>> rows) {
  if (generation != generation_) return;
  for (auto& [i, row] : rows) {
    if (i >= rows_.size() || rows_[i].path != row.path) continue;
    rows_[i] = std::move(row);
    levels_.ShowRow(i);
  }
}

// Runs `command` on the selected levels: Save writes the values picked
// since the selection, and only those.
void FolderView::Run(RowsCommand command) {
  if (Busy()) return;
  const CommandButton& button = kButtons[static_cast<std::size_t>(command)];
  const std::vector<std::size_t> selected = levels_.SelectedRows();
  FlagChange picked;
  for (std::size_t flag = 0; flag < kFlagCount; ++flag) {
    const int position = static_cast<int>(SendMessageW(lists_[flag], CB_GETCURSEL, 0, 0));
    if (picked_[flag] && position > 0) {
      picked.values[flag] = static_cast<uint16_t>(*kFlags[flag].entries.ValueAt(position - 1));
    }
  }
  switch (CheckRowsCommand(command, selected.size(), picked, history_)) {
    case RowsRefusal::NothingSelected:
      return ShowDone(button.nothing_selected, Urgency::Assertive);
    case RowsRefusal::NothingPicked:
      return ShowDone("pick a Lara type or a weather to save", Urgency::Assertive);
    case RowsRefusal::HistoryOff:
      return ShowDone("ORNIVALE_HISTORY is off: no history is kept to give back or apply again",
                      Urgency::Assertive);
    case RowsRefusal::None:
      break;
  }
  if (command != RowsCommand::Save && !history_.status().ok()) {
    return ShowError(history_.status());
  }
  std::vector<LevelRow> rows;
  for (std::size_t row : selected) rows.push_back(rows_[row]);
  last_done_.clear();
  progress_ = Counting(button.running, 0, rows.size());
  ShowStatus();
  BackgroundWork* work = work_.get();
  work->Post([this, work, generation = generation_, command, selected, rows, picked]() mutable {
    const EditRun run{ProgramOf(command), history_, false, true,
                      [work] { return work->Stopping(); }};
    std::size_t finished = 0;
    RowsDone done;
    const LevelStatus read = RunRowsCommand(
        command, rows, picked, run, disk_,
        [&](std::size_t i, const LevelRow& row) {
          work->Tell([this, generation, command, row = std::make_pair(selected[i], row),
                       done = ++finished, of = rows.size()]() mutable {
            TakeRows(generation, {std::move(row)});
            progress_ = Counting(kButtons[static_cast<std::size_t>(command)].running, done, of);
            ShowStatus();
          });
        },
        &done);
    std::vector<std::pair<std::size_t, LevelRow>> edited;
    for (std::size_t i = 0; i < rows.size(); ++i) edited.emplace_back(selected[i], rows[i]);
    work->Tell([this, generation, command, read, done, edited = std::move(edited)]() mutable {
      // Another folder, or another reading of this one, shows other rows.
      if (generation != generation_) return;
      TakeRows(generation, std::move(edited));
      progress_.clear();
      levels_.Resort();
      SelectionChanged();
      if (!read.ok()) return ShowError(read);
      ShowDone(DoneText(command, done), Urgency::Polite);
    });
  });
}

// The lists show what every selected level holds, or their first entry;
// the values picked go with the selection.
void FolderView::SelectionChanged() {
  selection_pending_ = false;
  picked_ = {};
  ShowShared();
  ShowStatus();
}

void FolderView::ShowShared() {
  std::vector<const LevelRow*> selected;
  for (std::size_t row : levels_.SelectedRows()) selected.push_back(&rows_[row]);
  for (std::size_t flag = 0; flag < kFlagCount; ++flag) {
    if (picked_[flag]) continue;
    const auto shared = selected.empty() ? std::nullopt : SharedPosition(selected, flag);
    SendMessageW(lists_[flag], CB_SETCURSEL, shared ? *shared + 1 : 0, 0);
  }
}

void FolderView::ShowStatus() {
  const std::size_t selected = levels_.SelectedCount();
  std::wstring text =
      Plural(rows_.size(), L"level", L"levels") + L", " + std::to_wstring(selected) + L" selected";
  const std::string& last = Busy() ? progress_ : last_done_;
  if (!last.empty()) text += L" \u2014 " + Wide(last);
  SetWindowTextW(status_, text.c_str());
}

void FolderView::ShowDone(const std::string& done, Urgency urgency) {
  last_done_ = done;
  ShowStatus();
  screen_reader_.Announce(Wide(done), urgency);
}

void FolderView::ShowError(const LevelStatus& status) {
  const std::wstring message = Wide(WindowMessage(status));
  screen_reader_.Announce(message, Urgency::Assertive);
  MessageBoxW(hwnd_, message.c_str(), L"Error", MB_OK | MB_ICONSTOP);
}

void FolderView::OpenRow(std::optional<std::size_t> row) {
  if (row && *row < rows_.size() && open_level_) open_level_(Wide(rows_[*row].path));
}

}  // namespace ornivale
