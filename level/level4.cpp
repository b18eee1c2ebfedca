#include "level/level4.h"

#include <cctype>
#include <limits>

#include "level/command_errors.h"
#include "level/file_channel.h"
#include "level/flag_vocabulary.h"

namespace ornivale {
namespace {

std::string UpperTail(const std::string& path, std::size_t count) {
  std::string tail = path.substr(path.size() - count);
  for (char& c : tail) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return tail;
}

}  // namespace

Level4::Level4() : Level4(OpenDiskFile) {}

Level4::Level4(LevelFileOpener opener) : opener_(std::move(opener)) {}

void Level4::OpenLevel(const std::string& path, WindowServices& window) {
  last_scan_.reset();
  window.AddLog("Opening " + path + "...");
  RunReportingFailures(path, window, [&] { Scan(path, window); });
}

void Level4::Scan(const std::string& path, WindowServices& window) {
  FileChannel channel(opener_(path, OpenMode::ReadOnly));

  ReadLevelVersion(channel, header_);
  if (header_.LevelVersion.Value != kLevelVersion) {
    throw LevelError(path + " isn't a valid Tomb Raider Chronicles Level");
  }
  window.AddLog("File opened");

  UpdateKind(path);
  window.AddLog("Reading textures...");
  if (level_kind_ != kKindTr4 && level_kind_ != kKindTrc) return;

  const int64_t flags_pos = PassTextures(channel, header_);
  if (flags_pos > std::numeric_limits<int32_t>::max()) {
    throw LevelError(path + " is too large to be a level.");
  }
  // Both flags are read before anything changes, so a level cut short
  // inside them leaves the selections and FlagsPos as they were.
  WordField lara;
  WordField weather;
  try {
    lara = ReadWord(channel);
    weather = ReadWord(channel);
  } catch (const EndOfFileError&) {
    throw EndOfFileError("its Lara type and weather");
  }

  flags_pos_ = static_cast<int32_t>(flags_pos);
  window.SetFlagSelection(FlagList::c2, LaraPosition(lara.Value).value_or(-1));
  window.SetFlagSelection(FlagList::c1,
                          WeatherPosition(weather.Value).value_or(-1));
  last_scan_ = ScannedLevel{path, flags_pos_, level_kind_};
  window.AddLog("Done");
}

void Level4::UpdateKind(const std::string& path) {
  if (path.size() < 4) return;
  const std::string tail = UpperTail(path, 4);
  if (tail == ".TR4") {
    level_kind_ = kKindTr4;
  } else if (tail == ".TRC") {
    level_kind_ = kKindTrc;
  }
}

}  // namespace ornivale
