// Folders, through the standard library.
#include <filesystem>
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

LevelStatus ListFolder(const std::string& folder, std::vector<std::string>* names) {
  names->clear();
  std::error_code error;
  fs::directory_iterator entries(PathFromUtf8(folder.empty() ? "." : folder), error);
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    names->push_back(Utf8OfPath(entries->path().filename()));
  }
  if (error) {
    names->clear();
    return Failure(LevelCode::CannotOpen, folder, error.message());
  }
  return {};
}

}  // namespace ornivale::posix
