#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "level/level4.h"
#include "level/window_services.h"
#include "ui/background_picture.h"
#include "ui/control_focus.h"
#include "ui/folder_view.h"
#include "ui/gdi_handle.h"
#include "ui/given_level.h"
#include "ui/level_picker.h"
#include "ui/program_window.h"
#include "ui/screen_reader.h"

namespace ornivale {

// The program's one window: the activity log `l`, the weather list `c1` and
// the Lara type list `c2` with their labels, the path label `Label1` and the
// buttons Load (`Command4`), Save (`Command3`), About (`Command2`) and Exit
// (`Command1`).
// It is the window the level core reaches through WindowServices.
class frmMain final : public WindowServices {
 public:
  static constexpr const wchar_t* kCaption = L"Ornivale by Pellamir";

  // `level` and `cd` must outlive the window.
  frmMain(HINSTANCE instance, Level4& level, LevelPicker& cd);
  ~frmMain() override;
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // Creates the window, hidden, with all its controls (registering its
  // class on first use); false on failure.
  bool Create();
  // Null once the window is destroyed (Exit, or closed by its title bar).
  HWND hwnd() const { return hwnd_; }

  // Loads `path` as Load does with a file picked in the Open dialog: Label1
  // takes the path, then the scan runs. Also for a level named on the
  // command line or dropped onto the window.
  void LoadLevel(const std::wstring& path);
  // Shows the levels of the folder at `path` in the folder view; false,
  // doing nothing, where `path` is not a folder. Also for a folder named on
  // the command line or dropped onto the window.
  bool OpenFolder(const std::wstring& path);

  void AddLog(const std::string& text) override;
  void SetFlagSelection(FlagList list, int position) override;
  int GetFlagSelection(FlagList list) const override;
  std::string GetLevelPath() const override;
  void ShowMessage(const std::string& text, const std::string& title,
                   MessageIcon icon) override;

 private:
  template <typename Window>
  friend LRESULT CALLBACK ProgramWindowProc(HWND, UINT, WPARAM, LPARAM);
  void Attached(HWND hwnd);
  void Detached();
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  bool OnCreate();
  void OnPaint();
  void OnCommand(int id, int code);
  void OnDropFiles(HDROP drop);
  void OnSystemMenu(HMENU menu);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  HBRUSH OnControlColour(HDC dc, HWND control);
  void OnMeasureItem(MEASUREITEMSTRUCT& item) const;
  void OnDrawItem(const DRAWITEMSTRUCT& item) const;

  void Command4_Click();  // Load
  void Command3_Click();  // Save
  void Command2_Click();  // About
  void Command1_Click();  // Exit
  void RestoreOriginalValues();  // the system menu's, and Ctrl+R
  void PickFolder();             // the system menu's, and Ctrl+Shift+O
  void FolderViewClosed();
  void ShowLevel(const std::wstring& path);

  HWND CreateChild(const wchar_t* window_class, const wchar_t* text,
                   DWORD style, DWORD ex_style, int id);
  void ApplyDpi(UINT dpi);
  void LayOutControls();
  void FitFlagListHeight(HWND list);
  int FlagListItemHeight() const;
  HWND FlagListWindow(FlagList list) const;

  HINSTANCE instance_;
  Level4& level_;
  LevelPicker& cd;
  HWND hwnd_ = nullptr;
  HWND l = nullptr;
  HWND WeatherLabel = nullptr;
  HWND c1 = nullptr;
  HWND LaraTypeLabel = nullptr;
  HWND c2 = nullptr;
  HWND Label1 = nullptr;
  HWND Command1 = nullptr;
  HWND Command2 = nullptr;
  HWND Command3 = nullptr;
  HWND Command4 = nullptr;
  ControlFocus focus_;
  ScreenReader screen_reader_;
  WindowIcons icons_;
  UINT dpi_ = 96;
  BackgroundPicture background_;
  GdiHandle<HFONT> control_font_;
  GdiHandle<HFONT> button_font_;
  GdiHandle<HBRUSH> list_brush_;
  FolderView folder_view_;
};

}  // namespace ornivale
