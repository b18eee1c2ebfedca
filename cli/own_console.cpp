#include "cli/own_console.h"

#include <windows.h>

namespace ornivale::cli {
namespace {

bool IsConsole(DWORD which) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

}  // namespace

bool RunsInConsoleOfItsOwn() {
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2) == 1 &&
         IsConsole(STD_INPUT_HANDLE) && IsConsole(STD_OUTPUT_HANDLE);
}

void WaitForKey() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  const wchar_t prompt[] = L"\r\nPress any key to close this window.";
  DWORD written = 0;
  WriteConsoleW(output, prompt, static_cast<DWORD>(wcslen(prompt)), &written,
                nullptr);
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  FlushConsoleInputBuffer(input);
  INPUT_RECORD record;
  DWORD read = 0;
  while (ReadConsoleInputW(input, &record, 1, &read) && read == 1) {
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
  }
}

}  // namespace ornivale::cli
