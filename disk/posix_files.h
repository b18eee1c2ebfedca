#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "level/ports/disk.h"

// The POSIX files behind the Disk's members (posix_disk.cpp).
namespace ornivale::posix {

LevelStatus OpenLevel(const std::string& path, OpenMode mode,
                      std::unique_ptr<LevelFile>* file);
LevelStatus OpenInput(const std::string& path, std::unique_ptr<Input>* input);
LevelStatus OpenStandardInput(std::unique_ptr<Input>* input);
LevelStatus Append(const std::string& path, const std::string& text);
LevelStatus Rewrite(const std::string& path, const Rewriting& keep);
LevelStatus CheckAppendable(const std::string& path);
LevelStatus IsFolder(const std::string& path, bool* is_folder);
LevelStatus ListFolder(const std::string& folder, std::vector<FolderEntry>* entries);
// realpath(3): links followed, ".." taken after them; none where the path
// leads to nothing.
std::optional<std::string> RealPath(const std::string& path);

}  // namespace ornivale::posix
