#include "ui/frm_main.h"

#include <array>

#include "disk/wide_text.h"
#include "level/flag_save.h"
#include "level/format/flag_vocabulary.h"
#include "ui/control_focus.h"
#include "ui/control_ids.h"
#include "ui/dpi.h"
#include "ui/flag_list_drawing.h"
#include "ui/folder_picker.h"
#include "ui/fonts.h"
#include "ui/list_colours.h"
#include "ui/main_window_layout.h"
#include "ui/message_loop.h"
#include "ui/program_window.h"
#include "ui/resource_ids.h"

namespace ornivale {
namespace {

constexpr wchar_t kClassName[] = L"OrnivaleMainWindow";
// Fixed size: nothing in the window follows a resize.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                         WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Lets IsDialogMessage move the focus between the controls with Tab, and
// takes files dropped from Explorer.
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES;

constexpr char kAboutText[] =
    "Ornivale is a very simple program that change the Lara type and "
    "weather flags in TRC levels. It take me about one hour to code it. "
    "Created by Pellamir.";

void FillList(HWND list, const FlagEntries& entries) {
  for (const FlagEntry& entry : entries) {
    SendMessageW(list, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Wide(entry.text).c_str()));
  }
}

}  // namespace

frmMain::frmMain(HINSTANCE instance, Level4& level, LevelPicker& picker)
    : instance_(instance),
      level_(level),
      cd(picker),
      background_(instance, IDB_BACKGROUND),
      list_brush_(CreateSolidBrush(kListBackground)),
      folder_view_(
          instance, level.disk(), level.history(), [this] { FolderViewClosed(); },
          [this](const std::wstring& path) { ShowLevel(path); }) {}

frmMain::~frmMain() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool frmMain::Create() {
  if (!RegisterProgramWindowClass(instance_, kClassName, ProgramWindowProc<frmMain>, nullptr)) {
    return false;
  }
  // The size is set in WM_CREATE, once the window knows its DPI.
  return CreateWindowExW(kExStyle, kClassName, kCaption, kStyle, CW_USEDEFAULT,
                         CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance_,
                         this) != nullptr;
}

void frmMain::Attached(HWND hwnd) { hwnd_ = hwnd; }

void frmMain::Detached() { hwnd_ = nullptr; }

LRESULT frmMain::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (focus_.Handle(hwnd_, message, wparam, lparam)) return 0;
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers the whole client area with the picture.
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == IDM_RESTORE_ORIGINALS) {
        RestoreOriginalValues();
        return 0;
      }
      if ((wparam & 0xFFF0) == IDM_OPEN_FOLDER) {
        PickFolder();
        return 0;
      }
      return DefWindowProcW(hwnd_, message, wparam, lparam);
    case WM_INITMENUPOPUP:
      if (HIWORD(lparam)) OnSystemMenu(reinterpret_cast<HMENU>(wparam));
      return 0;
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(OnControlColour(
          reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam)));
    case WM_MEASUREITEM:
      OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wparam));
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_DESTROY:
      // Exit ends the program, the folder view with it.
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

bool frmMain::OnCreate() {
  // Created in tab order: the log, the lists, the buttons from right to left,
  // and the path label last. Each list's label comes directly before it, so
  // screen readers name the list by it and its access key focuses the list.
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  constexpr DWORD kFlagList = kChild | WS_TABSTOP | WS_VSCROLL |
                              CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                              CBS_HASSTRINGS;
  l = CreateChild(L"ListBox", L"",
                  kChild | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                  WS_EX_CLIENTEDGE, control_id::l);
  constexpr DWORD kListLabel = kChild | SS_LEFT | SS_CENTERIMAGE;
  WeatherLabel = CreateChild(L"Static", L"&Weather", kListLabel, 0,
                             control_id::WeatherLabel);
  c1 = CreateChild(L"ComboBox", L"", kFlagList, 0, control_id::c1);
  // Alt+T, since Alt+L is Load's.
  LaraTypeLabel = CreateChild(L"Static", L"Lara &type", kListLabel, 0,
                              control_id::LaraTypeLabel);
  c2 = CreateChild(L"ComboBox", L"", kFlagList, 0, control_id::c2);
  constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
  Command1 = CreateChild(L"Button", L"&Exit", kButton, 0, control_id::Command1);
  Command2 =
      CreateChild(L"Button", L"&About", kButton, 0, control_id::Command2);
  Command3 = CreateChild(L"Button", L"&Save", kButton, 0, control_id::Command3);
  Command4 = CreateChild(L"Button", L"&Load", kButton, 0, control_id::Command4);
  // SS_EDITCONTROL wraps a long path even inside a folder name.
  Label1 = CreateChild(L"Static", L"No file opened",
                       kChild | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, 0,
                       control_id::Label1);
  if (!l || !WeatherLabel || !c1 || !LaraTypeLabel || !c2 || !Command1 ||
      !Command2 || !Command3 || !Command4 || !Label1 ||
      !screen_reader_.Create(hwnd_, instance_, control_id::Announcement)) {
    return false;
  }
  // The log has no label to be named by.
  screen_reader_.Name(l, L"Log");
  focus_.SetFirst(l);
  for (const FlagDescription& flag : kFlags) {
    FillList(FlagListWindow(flag.list), flag.entries);
  }
  // The system menu gives back the loaded level's original values.
  const HMENU system = GetSystemMenu(hwnd_, FALSE);
  AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(system, MF_STRING, IDM_RESTORE_ORIGINALS,
              L"Restore &original values\tCtrl+R");
  AppendMenuW(system, MF_STRING, IDM_OPEN_FOLDER, L"Open &folder...\tCtrl+Shift+O");
  UseWindowKeys(hwnd_, IDA_ORNIVALE);
  ApplyDpi(DpiForWindow(hwnd_));
  return true;
}

HWND frmMain::CreateChild(const wchar_t* window_class, const wchar_t* text,
                          DWORD style, DWORD ex_style, int id) {
  return CreateWindowExW(ex_style, window_class, text, style, 0, 0, 0, 0,
                         hwnd_,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         instance_, nullptr);
}

// Fonts, picture, control positions and the window's own size all follow
// the DPI of the monitor the window is on.
void frmMain::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  control_font_ = CreateControlFont(dpi);
  button_font_ = CreateButtonFont(dpi);
  background_.ScaleTo(dpi);
  icons_.SetFor(hwnd_, instance_, dpi);
  for (HWND control : {l, WeatherLabel, c1, LaraTypeLabel, c2, Label1}) {
    SendMessageW(control, WM_SETFONT,
                 reinterpret_cast<WPARAM>(control_font_.get()), FALSE);
  }
  for (HWND button : {Command1, Command2, Command3, Command4}) {
    SendMessageW(button, WM_SETFONT,
                 reinterpret_cast<WPARAM>(button_font_.get()), FALSE);
  }
  LayOutControls();

  const SIZE window = WindowSizeForClient(layout::ClientPixels(dpi), kStyle,
                                          kExStyle, dpi);
  SetWindowPos(hwnd_, nullptr, 0, 0, window.cx, window.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void frmMain::LayOutControls() {
  const auto place = [this](HWND control, const layout::TwipsRect& twips,
                            int extra_height) {
    const RECT r = layout::ToPixels(twips, dpi_);
    MoveWindow(control, r.left, r.top, r.right - r.left,
               r.bottom - r.top + extra_height, FALSE);
  };
  place(l, layout::l, 0);
  for (HWND list : {c1, c2}) {
    SendMessageW(list, CB_SETITEMHEIGHT, 0, FlagListItemHeight());
  }
  // A drop-down list's window height also holds its dropped list: room for
  // every entry below the closed field.
  const int item = FlagListItemHeight();
  for (const FlagDescription& flag : kFlags) {
    const HWND list = FlagListWindow(flag.list);
    place(list, flag.list == FlagList::c1 ? layout::c1 : layout::c2,
          item * static_cast<int>(flag.entries.count) + 2);
    FitFlagListHeight(list);
  }
  place(WeatherLabel, layout::WeatherLabel, 0);
  place(LaraTypeLabel, layout::LaraTypeLabel, 0);
  place(Label1, layout::Label1, 0);
  place(Command4, layout::Command4, 0);
  place(Command3, layout::Command3, 0);
  place(Command2, layout::Command2, 0);
  place(Command1, layout::Command1, 0);
}

// A closed drop-down list is as high as its selection field plus a frame
// whose width differs with the visual style, and the field height that
// CB_SETITEMHEIGHT takes need not be the one CB_GETITEMHEIGHT gives back
// (Wine adds two pixels). So steer the field by the list height it gives.
void frmMain::FitFlagListHeight(HWND list) {
  const int wanted = layout::TwipsToPixels(layout::c1.height, dpi_);
  int field =
      static_cast<int>(SendMessageW(list, CB_GETITEMHEIGHT, WPARAM(-1), 0));
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT closed{};
    GetWindowRect(list, &closed);
    const int height = closed.bottom - closed.top;
    if (height == wanted) return;
    field += wanted - height;
    if (field <= 0) return;
    SendMessageW(list, CB_SETITEMHEIGHT, WPARAM(-1), field);
  }
}

// The dropped entries get the height the closed field has at 96 DPI.
int frmMain::FlagListItemHeight() const { return MulDiv(15, dpi_, 96); }

void frmMain::OnPaint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(hwnd_, &paint);
  background_.Paint(dc);
  EndPaint(hwnd_, &paint);
}

void frmMain::OnCommand(int id, int code) {
  constexpr int kFromShortcut = 1;
  if (id == IDM_RESTORE_ORIGINALS && code == kFromShortcut) {
    return RestoreOriginalValues();
  }
  if (id == IDM_OPEN_FOLDER && code == kFromShortcut) return PickFolder();
  if (code != BN_CLICKED) return;
  switch (id) {
    case control_id::Command4:
      Command4_Click();
      break;
    case control_id::Command3:
      Command3_Click();
      break;
    case control_id::Command2:
      Command2_Click();
      break;
    case control_id::Command1:
      Command1_Click();
      break;
    default:
      break;
  }
}

void frmMain::Command4_Click() {
  if (const std::optional<std::wstring> path = cd.PickLevel(hwnd_)) {
    LoadLevel(*path);
  }
}

void frmMain::LoadLevel(const std::wstring& path) {
  SetWindowTextW(Label1, path.c_str());
  level_.OpenLevel(Narrow(path), *this);
}

// A level opened in the folder view: the window comes to the front, as it
// is, and loads the level.
void frmMain::ShowLevel(const std::wstring& path) {
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd_);
  LoadLevel(path);
}

bool frmMain::OpenFolder(const std::wstring& path) {
  if (!NamesFolder(path, level_.disk())) return false;
  folder_view_.Open(path);
  return true;
}

void frmMain::PickFolder() {
  if (const std::optional<std::wstring> folder = ornivale::PickFolder(hwnd_)) {
    OpenFolder(*folder);
  }
}

// The main window stays hidden while a folder named on the command line is
// shown: the program ends with the folder view then.
void frmMain::FolderViewClosed() {
  if (hwnd_ && !IsWindowVisible(hwnd_)) DestroyWindow(hwnd_);
}

// The first file of a drop is loaded, or shown in the folder view where it
// is a folder; a drop is finished before the load, whose message box could
// otherwise hold it.
void frmMain::OnDropFiles(HDROP drop) {
  const std::optional<std::wstring> path = FirstDroppedFile(drop);
  DragFinish(drop);
  if (path && !OpenFolder(*path)) LoadLevel(*path);
}

void frmMain::Command3_Click() { SaveFlags(level_, *this); }

// Enabled while the loaded level has changes in the history, asked each time
// the menu opens: another program may have recorded some since.
void frmMain::OnSystemMenu(HMENU menu) {
  EnableMenuItem(menu, IDM_RESTORE_ORIGINALS,
                 MF_BYCOMMAND | (level_.HasRecordedChanges() ? MF_ENABLED : MF_GRAYED));
}

// From the menu, or from its shortcut, which does as the menu item does:
// nothing without recorded changes.
void frmMain::RestoreOriginalValues() { level_.RestoreOriginalValues(*this); }

void frmMain::Command2_Click() {
  ShowMessage(kAboutText, "About", MessageIcon::Information);
}

// No level file is open between commands, so there is nothing to close.
void frmMain::Command1_Click() { DestroyWindow(hwnd_); }

void frmMain::OnDpiChanged(UINT dpi, const RECT& suggested) {
  ApplyDpi(dpi);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HBRUSH frmMain::OnControlColour(HDC dc, HWND control) {
  if (control == Label1 || control == WeatherLabel ||
      control == LaraTypeLabel) {
    SetTextColor(dc, kLabelText);
    SetBkMode(dc, TRANSPARENT);
    return background_.BrushFor(dc, control, hwnd_);
  }
  // The log, and the dropped part of both flag lists.
  SetTextColor(dc, kListText);
  SetBkColor(dc, kListBackground);
  return list_brush_.get();
}

void frmMain::OnMeasureItem(MEASUREITEMSTRUCT& item) const {
  // Asked while the lists are being created; FitFlagListHeight corrects the
  // closed field once the frame can be measured.
  item.itemHeight = static_cast<UINT>(
      item.itemID == static_cast<UINT>(-1)
          ? layout::TwipsToPixels(layout::c1.height, dpi_) - MulDiv(6, dpi_, 96)
          : FlagListItemHeight());
}

void frmMain::OnDrawItem(const DRAWITEMSTRUCT& item) const {
  if (item.CtlType != ODT_COMBOBOX) return;
  DrawFlagListItem(item, list_brush_.get(), dpi_);
}

HWND frmMain::FlagListWindow(FlagList list) const {
  return list == FlagList::c1 ? c1 : c2;
}

void frmMain::AddLog(const std::string& text) {
  SendMessageW(l, LB_INSERTSTRING, WPARAM(-1),
               reinterpret_cast<LPARAM>(Wide(text).c_str()));
  // A save's result, which shows in the log, away from the lists and
  // buttons a screen reader is on.
  if (text == kLevelSavedLine) screen_reader_.Announce(Wide(text), Urgency::Polite);
}

void frmMain::SetFlagSelection(FlagList list, int position) {
  SendMessageW(FlagListWindow(list), CB_SETCURSEL, position, 0);
}

int frmMain::GetFlagSelection(FlagList list) const {
  return static_cast<int>(
      SendMessageW(FlagListWindow(list), CB_GETCURSEL, 0, 0));
}

std::string frmMain::GetLevelPath() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Label1)) + 1,
                    L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(Label1, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

void frmMain::ShowMessage(const std::string& text, const std::string& title,
                          MessageIcon icon) {
  const UINT icon_style =
      icon == MessageIcon::Critical ? MB_ICONSTOP : MB_ICONINFORMATION;
  if (icon == MessageIcon::Critical) {
    screen_reader_.Announce(Wide(text), Urgency::Assertive);
  }
  MessageBoxW(hwnd_, Wide(text).c_str(), Wide(title).c_str(),
              MB_OK | icon_style);
}

}  // namespace ornivale
