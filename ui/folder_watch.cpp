#include "ui/folder_watch.h"

namespace ornivale {
namespace {

constexpr DWORD kWatched =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

}  // namespace

FolderWatch::FolderWatch(const std::wstring& folder, std::function<void(FolderChanges)> changed)
    : folder_(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                          nullptr)),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      changed_(std::move(changed)) {
  // A folder that can't be watched is read again with F5 alone.
  if (folder_ != INVALID_HANDLE_VALUE && stop_) thread_ = std::thread([this] { Run(); });
}

FolderWatch::~FolderWatch() {
  if (stop_) SetEvent(stop_);
  if (thread_.joinable()) thread_.join();
  if (folder_ != INVALID_HANDLE_VALUE) CloseHandle(folder_);
  if (stop_) CloseHandle(stop_);
}

void FolderWatch::Run() {
  const HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!done) return;
  alignas(DWORD) char buffer[16 * 1024];
  for (;;) {
    OVERLAPPED watching{};
    watching.hEvent = done;
    ResetEvent(done);
    if (!ReadDirectoryChangesW(folder_, buffer, sizeof buffer, FALSE, kWatched, nullptr,
                               &watching, nullptr)) {
      break;
    }
    const HANDLE events[] = {stop_, done};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
      CancelIo(folder_);
      DWORD ignored = 0;
      GetOverlappedResult(folder_, &watching, &ignored, TRUE);
      break;
    }
    DWORD size = 0;
    FolderChanges changes;
    // Nothing told: more changed than the buffer held.
    if (!GetOverlappedResult(folder_, &watching, &size, FALSE) || size == 0) {
      changes.listing = true;
    }
    for (DWORD at = 0; size > 0;) {
      const auto* change = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + at);
      if (change->Action == FILE_ACTION_MODIFIED) {
        changes.written.emplace_back(change->FileName, change->FileNameLength / sizeof(wchar_t));
      } else {
        changes.listing = true;
      }
      if (change->NextEntryOffset == 0) break;
      at += change->NextEntryOffset;
    }
    changed_(std::move(changes));
  }
  CloseHandle(done);
}

}  // namespace ornivale
