#include "tests/gui/program_driver.h"

#include <cstdint>
#include <cstdlib>

#include "disk/wide_text.h"
#include "ui/control_ids.h"
#include "ui/frm_main.h"

namespace ornivale::gui_test {
namespace {

// The file name box of the explorer-style Open dialog (cmb13): an Edit
// inside a ComboBoxEx, both with this ID.
constexpr int kFileNameId = 0x47C;

struct ChildSearch {
  const wchar_t* window_class;
  int id;
  HWND found;
};

// A named CALLBACK, not a lambda: 32-bit Windows calls it as stdcall.
BOOL CALLBACK MatchChild(HWND child, LPARAM data) {
  auto& search = *reinterpret_cast<ChildSearch*>(data);
  if (GetDlgCtrlID(child) == search.id &&
      lstrcmpiW(ClassName(child).c_str(), search.window_class) == 0) {
    search.found = child;
    return FALSE;
  }
  return TRUE;
}

HWND FindChild(HWND parent, const wchar_t* window_class, int id) {
  ChildSearch search{window_class, id, nullptr};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool SetText(HWND window, const std::wstring& text) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, kQueryTimeoutMs, &result) &&
         WindowText(window) == text;
}

}  // namespace

std::wstring WindowsPath(const std::wstring& path) {
  if (path.empty() || path[0] != L'/') return path;
  std::wstring windows = L"Z:" + path;
  for (wchar_t& c : windows) {
    if (c == L'/') c = L'\\';
  }
  return windows;
}

HWND WaitForMainWindow(DWORD process_id, DWORD timeout_ms) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        found = FindWindowExW(nullptr, nullptr, nullptr, frmMain::kCaption);
        while (found) {
          DWORD owner = 0;
          GetWindowThreadProcessId(found, &owner);
          // Visible only once WM_CREATE has made the controls.
          if ((process_id == 0 || owner == process_id) &&
              IsWindowVisible(found)) {
            return true;
          }
          found = FindWindowExW(nullptr, found, nullptr, frmMain::kCaption);
        }
        return false;
      },
      timeout_ms);
  return found;
}

HWND WaitForFolderView(DWORD process_id, DWORD timeout_ms) {
  HWND found = nullptr;
  const auto shown = [&] {
    DWORD owner = 0;
    GetWindowThreadProcessId(found, &owner);
    const std::wstring status = WindowText(GetDlgItem(found, folder_view_id::Status));
    return (process_id == 0 || owner == process_id) && IsWindowVisible(found) &&
           !status.empty() && status.find(L"\u2014 reading") == std::wstring::npos;
  };
  WaitUntil(
      [&] {
        for (found = FindWindowExW(nullptr, nullptr, L"OrnivaleFolderView", nullptr); found;
             found = FindWindowExW(nullptr, found, L"OrnivaleFolderView", nullptr)) {
          if (shown()) return true;
        }
        return false;
      },
      timeout_ms);
  return found;
}

// Lines such as "0104:Call user32.NotifyWinEvent(00008019,00020044,fffffffc,00000000) ret=…",
// numbers and handles in hexadecimal.
int WinEventLog::Count(DWORD event, HWND window) const {
  const std::string text = log_.Since();
  const std::string call = "Call user32.NotifyWinEvent(";
  int count = 0;
  for (std::size_t at = text.find(call); at != std::string::npos; at = text.find(call, at + 1)) {
    char* end = nullptr;
    const unsigned long long logged_event = std::strtoull(&text[at + call.size()], &end, 16);
    // A window handle's low 32 bits are the whole of it, on 64-bit Windows too.
    const unsigned long long logged_window = std::strtoull(end + 1, nullptr, 16) & 0xFFFFFFFFu;
    count += *end == ',' && logged_event == event &&
             logged_window == (reinterpret_cast<uintptr_t>(window) & 0xFFFFFFFFu);
  }
  return count;
}

StartedProgram::StartedProgram(const std::wstring& exe,
                               const std::vector<std::wstring>& arguments) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command_line = L"\"" + exe + L"\"";
  for (const std::wstring& argument : arguments) {
    command_line += L" \"" + argument + L"\"";
  }
  if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr,
                      FALSE, 0, nullptr, nullptr, &startup, &process_)) {
    process_ = PROCESS_INFORMATION{};
  }
}

StartedProgram::~StartedProgram() {
  if (!started()) return;
  if (!WaitForExit(0)) {
    if (HWND window = WaitForMainWindow(process_id(), 0)) {
      MainWindowDriver(window).CloseDialogs();
    }
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, kWaitMs);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool StartedProgram::WaitForExit(DWORD timeout_ms, DWORD* exit_code) const {
  if (WaitForSingleObject(process_.hProcess, timeout_ms) != WAIT_OBJECT_0) {
    return false;
  }
  if (exit_code) GetExitCodeProcess(process_.hProcess, exit_code);
  return true;
}

MainWindowDriver::MainWindowDriver(HWND main_window) : window_(main_window) {
  GetWindowThreadProcessId(window_, &process_id_);
}

void MainWindowDriver::Press(int button_id) const {
  PostMessageW(Control(button_id), BM_CLICK, 0, 0);
}

std::optional<std::string> MainWindowDriver::LoadThroughDialog(
    const std::wstring& path) const {
  Press(control_id::Command4);
  const HWND dialog = WaitForDialog(process_id_, L"Open level", kWaitMs);
  if (!dialog) return "the Open dialog did not appear";
  const HWND file_name = FindChild(dialog, L"Edit", kFileNameId);
  if (!file_name) return "the Open dialog has no file name box";
  if (!SetText(file_name, path)) return "the file name box took no path";
  PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  if (!WaitUntil([&] { return !IsWindow(dialog); }, kWaitMs)) {
    CloseDialogs();
    return "the Open dialog did not close for " + Narrow(path);
  }
  return std::nullopt;
}

std::optional<std::string> MainWindowDriver::CancelLoad() const {
  Press(control_id::Command4);
  const HWND dialog = WaitForDialog(process_id_, L"Open level", kWaitMs);
  if (!dialog) return "the Open dialog did not appear";
  PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  if (!WaitUntil([&] { return !IsWindow(dialog); }, kWaitMs)) {
    return "the Open dialog did not close";
  }
  return std::nullopt;
}

void MainWindowDriver::PressKeys(const std::vector<WORD>& chord) const {
  // Keys go to the foreground window: wait until that is this one, or a
  // busy machine hands them to whichever window was in front before.
  SetForegroundWindow(window_);
  WaitUntil([&] { return GetForegroundWindow() == window_; }, kWaitMs);
  std::vector<INPUT> keys(2 * chord.size());
  for (std::size_t i = 0; i < chord.size(); ++i) {
    for (INPUT* key : {&keys[i], &keys[keys.size() - 1 - i]}) {
      key->type = INPUT_KEYBOARD;
      key->ki.wVk = chord[i];
      key->ki.wScan = static_cast<WORD>(MapVirtualKeyW(chord[i], MAPVK_VK_TO_VSC));
    }
    keys[keys.size() - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
  }
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof keys[0]);
}

bool MainWindowDriver::PressKeysUntil(const std::vector<WORD>& chord,
                                      const std::function<bool()>& done) const {
  // Long enough that a press merely slow to arrive is not made twice.
  constexpr DWORD kPressAgainMs = 5000;
  const ULONGLONG end = GetTickCount64() + kWaitMs;
  do {
    PressKeys(chord);
    if (WaitUntil(done, kPressAgainMs)) return true;
  } while (GetTickCount64() < end);
  return false;
}

HWND MainWindowDriver::FocusedControl() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info)) {
    return nullptr;
  }
  return info.hwndFocus;
}

void MainWindowDriver::Select(int list_id, int position) const {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(Control(list_id), CB_SETCURSEL, position, 0,
                      SMTO_ABORTIFHUNG, kQueryTimeoutMs, &result);
  // What the list tells its window when the user picks an entry.
  SendMessageTimeoutW(window_, WM_COMMAND, MAKEWPARAM(list_id, CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(Control(list_id)), SMTO_ABORTIFHUNG,
                      kQueryTimeoutMs, &result);
}

std::vector<std::wstring> MainWindowDriver::Log() const {
  return ListBoxLines(Control(control_id::l));
}

std::wstring MainWindowDriver::SelectedText(int list_id) const {
  return WindowText(Control(list_id));
}

std::wstring MainWindowDriver::Label() const {
  return WindowText(Control(control_id::Label1));
}

bool MainWindowDriver::WaitForLogLines(std::size_t count) const {
  return WaitUntil([&] { return Log().size() >= count; }, kWaitMs);
}

std::optional<MessageBoxContents> MainWindowDriver::AnswerMessageBox(
    const std::wstring& title) const {
  const HWND box = WaitForDialog(process_id_, title, kWaitMs);
  if (!box) return std::nullopt;
  MessageBoxContents contents = ReadMessageBox(box);
  PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  WaitUntil([&] { return !IsWindow(box); }, kWaitMs);
  return contents;
}

void MainWindowDriver::CloseDialogs() const {
  for (HWND dialog : DialogsOf(process_id_)) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }
}

}  // namespace ornivale::gui_test
