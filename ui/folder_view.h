#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "level/disk.h"
#include "level/flag_vocabulary.h"
#include "level/history.h"
#include "ui/control_focus.h"
#include "ui/gdi_handle.h"
#include "ui/level_list_view.h"
#include "ui/level_rows.h"
#include "ui/program_window.h"

namespace ornivale {

// A window of its own that shows a folder's levels in a report list view,
// one row each (Level, Lara type, Weather, State), and sets or restores the
// values of the rows selected. Its title is the folder's full path followed
// by kCaptionEnd.
class FolderView {
 public:
  static constexpr const wchar_t* kCaptionEnd = L" - Ornivale";
  // The first entry of each drop-down list: Save leaves that value alone.
  static constexpr const wchar_t* kKeepEach = L"(as each level has it)";

  // `disk` and `history` must outlive the view; `closed` runs each time
  // the user closes its window.
  FolderView(HINSTANCE instance, Disk& disk, const History& history, std::function<void()> closed);
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
  void OnCommand(int id, int code);
  LRESULT OnNotify(const NMHDR& header);
  void OnDropFiles(HDROP drop);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnMinMaxInfo(MINMAXINFO& info) const;

  void ReadFolder();
  void Save();
  void RestoreOriginalValues();

  HWND CreateChild(const wchar_t* window_class, const wchar_t* text, DWORD style, DWORD ex_style,
                   int id);
  void ApplyDpi(UINT dpi);
  void LayOut();
  void SelectionChanged();
  void ShowStatus();
  void ShowError(const LevelStatus& status);
  // Edits the rows, each with its edit, and shows what became of them.
  RowsDone Edit(const std::vector<std::size_t>& rows, const std::vector<LevelEdit>& edits,
                const char* program);
  int Scaled(int pixels_at_96) const { return MulDiv(pixels_at_96, static_cast<int>(dpi_), 96); }

  HINSTANCE instance_;
  Disk& disk_;
  const History& history_;
  std::function<void()> closed_;
  HWND hwnd_ = nullptr;
  LevelListView levels_;
  HWND status_ = nullptr;
  HWND save_ = nullptr;
  HWND restore_ = nullptr;
  std::array<HWND, kFlagCount> labels_{};
  std::array<HWND, kFlagCount> lists_{};  // in kFlags' order
  ControlFocus focus_;
  UINT dpi_ = 96;
  GdiHandle<HFONT> font_;

  std::string folder_;  // UTF-8, as opened
  std::vector<LevelRow> rows_;
  std::string last_done_;  // what the last Save or Restore did
  bool selection_pending_ = false;
};

}  // namespace ornivale
