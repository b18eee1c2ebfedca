#include "ui/level_picker.h"

#include <commdlg.h>

namespace ornivale {
namespace {

// Room for the longest path Windows allows.
constexpr DWORD kPathCapacity = 32768;

// Pairs of name and pattern, each ended by a null, the list by another.
constexpr wchar_t kFilter[] =
    L"Tomb Raider Chronicles Levels (*.trc)\0*.trc\0";

}  // namespace

std::optional<std::wstring> OpenLevelDialog::PickLevel(HWND owner) {
  std::wstring path(kPathCapacity, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathCapacity;
  dialog.lpstrTitle = L"Open level";
  // A name typed without an extension means a .trc level: "city" opens
  // city.trc.
  dialog.lpstrDefExt = L"trc";
  // No "Open as read-only" box: the program opens every level the same way.
  // No OFN_FILEMUSTEXIST: some dialogs (Wine's) look for "city" before
  // adding the extension and refuse it; a name that names no file is told
  // by the load's own error message instead.
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  path.resize(path.find(L'\0'));
  if (path.empty()) return std::nullopt;
  return path;
}

}  // namespace ornivale
