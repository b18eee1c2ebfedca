// Folders, through the standard library.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "disk/posix_files.h"
#include "disk/utf8_path.h"

namespace ornivale::posix {

namespace fs = std::filesystem;

LevelStatus IsFolder(const std::string& path, bool* is_folder) {
  std::error_code error;
  const fs::file_status status = fs::status(PathFromUtf8(path), error);
  *is_folder = fs::is_directory(status);
  if (error && status.type() != fs::file_type::not_found) {
    return Failure(LevelCode::CannotOpen, path, error.message());
  }
  return {};
}

// A link is told by the listing's own entry type where the file system
// gives one, without a look at each entry.
LevelStatus ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
  entries->clear();
  std::error_code error;
  fs::directory_iterator entry(PathFromUtf8(folder.empty() ? "." : folder), error);
  for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
    std::error_code unknown;
    entries->push_back({Utf8OfPath(entry->path().filename()), entry->is_symlink(unknown)});
  }
  if (error) {
    entries->clear();
    return Failure(LevelCode::CannotOpen, folder, error.message());
  }
  return {};
}

std::optional<std::string> RealPath(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr),
                                                         &std::free);
  if (!real) return std::nullopt;
  return std::string(real.get());
}

}  // namespace ornivale::posix
