#include "disk/folder.h"

#include <filesystem>
#include <system_error>

namespace ornivale {
namespace {

namespace fs = std::filesystem;

// On Windows a path's own text is UTF-16: build it from the UTF-8.
fs::path PathOf(const std::string& utf8) { return fs::u8path(utf8); }

}  // namespace

bool IsFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(PathOf(path), error);
}

LevelStatus ListFolder(const std::string& folder,
                       std::vector<std::string>* names) {
  names->clear();
  std::error_code error;
  fs::directory_iterator entries(PathOf(folder.empty() ? "." : folder), error);
  for (; !error && entries != fs::directory_iterator();
       entries.increment(error)) {
    names->push_back(entries->path().filename().u8string());
  }
  if (error) {
    names->clear();
    return Failure(LevelCode::CannotOpen, folder, error.message());
  }
  return {};
}

}  // namespace ornivale
