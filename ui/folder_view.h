#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "level/format/flag_vocabulary.h"
#include "level/history/history.h"
#include "level/ports/disk.h"
#include "level/rows/level_rows.h"
#include "ui/background_work.h"
#include "ui/control_focus.h"
#include "ui/folder_watch.h"
#include "ui/gdi_handle.h"
#include "ui/level_list_view.h"
#include "ui/program_window.h"
#include "ui/screen_reader.h"

namespace ornivale {

// A window of its own that shows a folder's levels in a report list view,
// one row each (Level, Lara type, Weather, State), and saves, restores or
// applies again the values of the rows selected. Its title is the folder's
// full path followed by kCaptionEnd. Reading the levels and editing them
// run off the window's thread, which answers meanwhile; a level changed on
// disk is read again by itself.
class FolderView {
 public:
  static constexpr const wchar_t* kCaptionEnd = L" - Ornivale";
  // The first entry of each drop-down list: Save leaves that value alone.
  static constexpr const wchar_t* kKeepEach = L"(as each level has it)";

  // `disk` and `history` must outlive the view; `closed` runs each time
  // the user closes its window, `open_level` with a level's path when the
  // user opens its row (a double-click, Enter).
  FolderView(HINSTANCE instance, Disk& disk, const History& history, std::function<void()> closed,
             std::function<void(const std::wstring&)> open_level);
  ~FolderView();
  FolderView(const FolderView&) = delete;
  FolderView& operator=(const FolderView&) = delete;

  // Shows the levels of `folder` (a full path), creating the window when
  // it is not open, and brings it to the front; false if it can't be made.
  bool Open(const std::wstring& folder);
  // Null while the window is not open.
  HWND hwnd() const { return hwnd_; }

 private:
  template <typename Window>
  friend LRESULT CALLBACK ProgramWindowProc(HWND, UINT, WPARAM, LPARAM);
  void Attached(HWND hwnd);
  void Detached();
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  bool OnCreate();
  void OnCommand(int id, int code, HWND control);
  LRESULT OnNotify(const NMHDR& header);
  void OnDropFiles(HDROP drop);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnMinMaxInfo(MINMAXINFO& info) const;
  void OnFolderChanged();

  // The long work, each posted to `work_`.
  void ReadFolder();
  void ReadAgain(const std::set<std::wstring>& names);
  void Run(RowsCommand command);
  // What the long work tells, on the window's thread.
  void ShowListed(std::size_t generation, std::vector<LevelRow> rows, const LevelStatus& why,
                  const std::vector<std::string>& selected);
  // The rows that the long work read or edited, in their places, where they
  // are still the rows shown.
  void TakeRows(std::size_t generation, std::vector<std::pair<std::size_t, LevelRow>> rows);

  HWND CreateChild(const wchar_t* window_class, const wchar_t* text, DWORD style, DWORD ex_style,
                   int id);
  void ApplyDpi(UINT dpi);
  void LayOut();
  void SelectionChanged();
  // The lists not picked since the selection show what the rows share.
  void ShowShared();
  void ShowStatus();
  // The status line's last result, read out to screen readers.
  void ShowDone(const std::string& done, Urgency urgency);
  void ShowError(const LevelStatus& status);
  void OpenRow(std::optional<std::size_t> row);
  bool Busy() const { return !progress_.empty(); }
  int Scaled(int pixels_at_96) const { return MulDiv(pixels_at_96, static_cast<int>(dpi_), 96); }

  HINSTANCE instance_;
  Disk& disk_;
  const History& history_;
  std::function<void()> closed_;
  std::function<void(const std::wstring&)> open_level_;
  HWND hwnd_ = nullptr;
  LevelListView levels_;
  HWND status_ = nullptr;
  std::array<HWND, 3> buttons_{};  // Save, Restore, Apply again
  std::array<HWND, kFlagCount> labels_{};
  std::array<HWND, kFlagCount> lists_{};  // in kFlags' order
  std::array<bool, kFlagCount> picked_{};  // by the user, since the selection
  ControlFocus focus_;
  ScreenReader screen_reader_;
  WindowIcons icons_;
  UINT dpi_ = 96;
  GdiHandle<HFONT> font_;

  std::string folder_;  // UTF-8, as opened
  std::vector<LevelRow> rows_;
  std::string last_done_;  // what the last Save, Restore or Apply again did
  bool selection_pending_ = false;
  // Which rows are shown: what an earlier reading tells is passed over.
  std::size_t generation_ = 0;
  // What the long work that runs has done so far, for the status line;
  // empty while none runs.
  std::string progress_;
  // Changes on disk not read yet.
  std::set<std::wstring> changed_;
  bool listing_changed_ = false;
  std::unique_ptr<BackgroundWork> work_;
  std::unique_ptr<FolderWatch> watch_;  // tells `work_`: it goes first
};

}  // namespace ornivale
