#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace ornivale {

// What changed among a folder's files, as the system tells it
// (ReadDirectoryChangesW): the files written, and whether files came, went
// or were renamed, or more changed than it could tell one by one.
struct FolderChanges {
  std::vector<std::wstring> written;  // the files' own names
  bool listing = false;
};

// Watches a folder on a thread of its own and hands each batch of changes
// to `changed`, on that thread, until it is destroyed.
class FolderWatch {
 public:
  FolderWatch(const std::wstring& folder, std::function<void(FolderChanges)> changed);
  ~FolderWatch();
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

 private:
  void Run();

  HANDLE folder_;
  HANDLE stop_;
  std::function<void(FolderChanges)> changed_;
  std::thread thread_;
};

}  // namespace ornivale
