#include "ui/folder_view.h"

#include <commctrl.h>
#include <shellapi.h>

#include "disk/wide_text.h"
#include "level/failure_words.h"
#include "level/undo_plans.h"
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

// The hourglass while levels are written, on every road out.
class WaitCursor {
 public:
  WaitCursor() : before_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(before_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR before_;
};

std::wstring Plural(std::size_t count, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

}  // namespace

FolderView::FolderView(HINSTANCE instance, Disk& disk, const History& history,
                       std::function<void()> closed)
    : instance_(instance), disk_(disk), history_(history), closed_(std::move(closed)) {}

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
  // Another folder starts in its own order.
  if (Narrow(folder) != folder_) {
    folder_ = Narrow(folder);
    levels_.Unsort();
  }
  ReadFolder();
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd_);
  return true;
}

void FolderView::Attached(HWND hwnd) { hwnd_ = hwnd; }

// Opened again, the window starts anew.
void FolderView::Detached() {
  hwnd_ = nullptr;
  rows_.clear();
  folder_.clear();
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
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
    case kSelectionChanged:
      SelectionChanged();
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
  save_ = CreateChild(L"Button", L"&Save", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0,
                      folder_view_id::Save);
  restore_ = CreateChild(L"Button", L"&Restore original values",
                         kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, folder_view_id::Restore);
  status_ = CreateChild(STATUSCLASSNAMEW, L"", kChild | SBARS_SIZEGRIP, 0, folder_view_id::Status);
  if (!save_ || !restore_ || !status_) return false;
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
  for (HWND control : {levels_.hwnd(), save_, restore_, status_}) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  }
  for (std::size_t flag = 0; flag < kFlagCount; ++flag) {
    for (HWND control : {labels_[flag], lists_[flag]}) {
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
  }
  levels_.ScaleColumns(dpi);
  LayOut();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

// The levels fill the window above one row of the lists and buttons, the
// status line at the bottom.
void FolderView::LayOut() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  SendMessageW(status_, WM_SIZE, 0, 0);
  RECT status{};
  GetWindowRect(status_, &status);
  const int margin = Scaled(kMargin);
  const int gap = Scaled(kGap);
  const int row = Scaled(kRowHeight);
  const int row_top = client.bottom - (status.bottom - status.top) - margin - row;
  MoveWindow(levels_.hwnd(), margin, margin, client.right - 2 * margin, row_top - 2 * margin, TRUE);

  int x = margin;
  for (std::size_t flag = 0; flag < kFlagCount; ++flag) {
    const int label = TextWidth(labels_[flag], font_.get()) + Scaled(2);
    MoveWindow(labels_[flag], x, row_top, label, row, TRUE);
    x += label + Scaled(2);
    // The window's height holds the dropped list too.
    MoveWindow(lists_[flag], x, row_top + Scaled(2), Scaled(kListWidth), Scaled(200), TRUE);
    x += Scaled(kListWidth) + 2 * gap;
  }
  const auto button_width = [&](HWND button) {
    return std::max(Scaled(80), TextWidth(button, font_.get()) + Scaled(24));
  };
  const int restore = button_width(restore_);
  const int save = button_width(save_);
  const int right = std::max<int>(client.right - margin, x + save + gap + restore);
  MoveWindow(restore_, right - restore, row_top, restore, row, TRUE);
  MoveWindow(save_, right - restore - gap - save, row_top, save, row, TRUE);
}

void FolderView::OnMinMaxInfo(MINMAXINFO& info) const {
  const SIZE least = WindowSizeForClient({Scaled(660), Scaled(200)}, kStyle, kExStyle, dpi_);
  info.ptMinTrackSize = {least.cx, least.cy};
}

void FolderView::OnDpiChanged(UINT dpi, const RECT& suggested) {
  ApplyDpi(dpi);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FolderView::OnCommand(int id, int code) {
  constexpr int kFromShortcut = 1;
  if (code == kFromShortcut) {
    if (id == IDM_READ_AGAIN) ReadFolder();
    if (id == IDM_SELECT_ALL) levels_.SelectAll();
    return;
  }
  if (code != BN_CLICKED) return;
  if (id == folder_view_id::Save) Save();
  if (id == folder_view_id::Restore) RestoreOriginalValues();
}

LRESULT FolderView::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != levels_.hwnd()) return 0;
  const auto& list = reinterpret_cast<const NMLISTVIEW&>(header);
  if (header.code == LVN_COLUMNCLICK) {
    levels_.SortBy(list.iSubItem);
  } else if (header.code == LVN_ITEMCHANGED && (list.uChanged & LVIF_STATE) &&
             ((list.uNewState ^ list.uOldState) & LVIS_SELECTED) && !selection_pending_) {
    selection_pending_ = true;
    PostMessageW(hwnd_, kSelectionChanged, 0, 0);
  }
  return 0;
}

void FolderView::OnDropFiles(HDROP drop) {
  const std::optional<std::wstring> path = FirstDroppedFile(drop);
  DragFinish(drop);
  if (path && NamesFolder(*path, disk_)) Open(*path);
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
  LevelStatus why;
  rows_ = ReadFolderRows(folder_, disk_, &why);
  last_done_.clear();
  if (!why.ok()) {
    last_done_ =
        why.code == LevelCode::NoLevelFound ? "the folder holds no .trc level" : WindowMessage(why);
  }
  levels_.Show(rows_, selected);
  SelectionChanged();
}

// The lists show what every selected level holds, or their first entry.
void FolderView::SelectionChanged() {
  selection_pending_ = false;
  std::vector<const LevelRow*> selected;
  for (std::size_t row : levels_.SelectedRows()) selected.push_back(&rows_[row]);
  for (std::size_t flag = 0; flag < kFlagCount; ++flag) {
    const auto shared = selected.empty() ? std::nullopt : SharedPosition(selected, flag);
    SendMessageW(lists_[flag], CB_SETCURSEL, shared ? *shared + 1 : 0, 0);
  }
  ShowStatus();
}

void FolderView::ShowStatus() {
  const std::size_t selected = levels_.SelectedCount();
  std::wstring text =
      Plural(rows_.size(), L"level", L"levels") + L", " + std::to_wstring(selected) + L" selected";
  if (!last_done_.empty()) text += L" \u2014 " + Wide(last_done_);
  SetWindowTextW(status_, text.c_str());
}

void FolderView::ShowError(const LevelStatus& status) {
  MessageBoxW(hwnd_, Wide(WindowMessage(status)).c_str(), L"Error", MB_OK | MB_ICONSTOP);
}

RowsDone FolderView::Edit(const std::vector<std::size_t>& rows, const std::vector<LevelEdit>& edits,
                          const char* program) {
  const WaitCursor waiting;
  RowsDone done;
  std::size_t next = 0;
  EditLevels(edits, EditRun{program, history_}, disk_, [&](const EditResult& result) {
    const std::size_t row = rows[next++];
    TakeEdit(rows_[row], result, disk_);
    ++(result.ok() ? done.done : done.refused);
    levels_.ShowRow(row);
  });
  return done;
}

// Writes the values picked, and only those, into every selected level.
void FolderView::Save() {
  FlagChange change;
  for (std::size_t flag = 0; flag < kFlagCount; ++flag) {
    const int position = static_cast<int>(SendMessageW(lists_[flag], CB_GETCURSEL, 0, 0));
    if (position > 0) {
      change.values[flag] = static_cast<uint16_t>(*kFlags[flag].entries.ValueAt(position - 1));
    }
  }
  const std::vector<std::size_t> rows = levels_.SelectedRows();
  if (rows.empty() || change.empty()) {
    last_done_ =
        rows.empty() ? "select the levels to save first" : "pick a Lara type or a weather to save";
    return ShowStatus();
  }
  std::vector<LevelEdit> edits;
  for (std::size_t row : rows) edits.emplace_back(rows_[row].path, change);
  last_done_ = DoneText(Edit(rows, edits, "ornivale folder view"), "saved");
  SelectionChanged();
}

// Gives the selected levels their original values by restore's rule.
void FolderView::RestoreOriginalValues() {
  const std::vector<std::size_t> rows = levels_.SelectedRows();
  if (rows.empty()) {
    last_done_ = "select the levels to restore first";
    return ShowStatus();
  }
  if (history_.off()) {
    last_done_ = "ORNIVALE_HISTORY is off: no history is kept to restore from";
    return ShowStatus();
  }
  if (!history_.status().ok()) return ShowError(history_.status());
  std::vector<std::string> paths;
  for (std::size_t row : rows) paths.push_back(rows_[row].path);
  std::vector<std::optional<LevelEdit>> restores;
  int unreadable = 0;
  const LevelStatus read = RestoreEdits(paths, false, history_, disk_, &restores, &unreadable);
  if (!read.ok()) return ShowError(read);
  std::vector<std::size_t> edited;
  std::vector<LevelEdit> edits;
  int nothing_recorded = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (restores[i]) {
      edited.push_back(rows[i]);
      edits.push_back(std::move(*restores[i]));
    } else {
      ++nothing_recorded;
      rows_[rows[i]].refused = {};
      levels_.ShowRow(rows[i]);
    }
  }
  RowsDone done = Edit(edited, edits, "ornivale folder view restore");
  done.nothing_recorded = nothing_recorded;
  last_done_ = DoneText(done, "restored");
  if (unreadable > 0) {
    last_done_ += "; " + std::to_string(unreadable) + " lines of the history can't be read";
  }
  SelectionChanged();
}

}  // namespace ornivale
