#pragma once

#include <memory>
#include <string>
#include <vector>

#include "level/ports/disk.h"

// The Win32 files behind the Disk's members (windows_disk.cpp).
namespace ornivale::windows {

LevelStatus OpenLevel(const std::string& path, OpenMode mode,
                      std::unique_ptr<LevelFile>* file);
LevelStatus OpenInput(const std::string& path, std::unique_ptr<Input>* input);
LevelStatus OpenStandardInput(std::unique_ptr<Input>* input);
LevelStatus Append(const std::string& path, const std::string& text);
LevelStatus Rewrite(const std::string& path, const Rewriting& keep);
LevelStatus CheckAppendable(const std::string& path);
LevelStatus IsFolder(const std::string& path, bool* is_folder);
LevelStatus ListFolder(const std::string& folder, std::vector<FolderEntry>* entries);

}  // namespace ornivale::windows
