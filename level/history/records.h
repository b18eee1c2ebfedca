#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "level/format/flag_vocabulary.h"
#include "level/format/level_format.h"
#include "level/format/level_identity.h"
#include "level/format/level_scan.h"
#include "level/format/level_state.h"
#include "level/ports/disk.h"
#include "level/ports/level_status.h"

namespace ornivale {

// The lines of JSON about levels, one object a level: what ornivale-cli
// prints with --json, what set --from reads back, and what the history
// keeps of each change. A path that is not UTF-8 (a POSIX name may hold any
// byte, a Windows name a lone surrogate) goes into "path" as U+FFFD where
// it is not, and whole, as hexadecimal bytes, into "path_hex".

// The flags' values in kFlags' order, as a scan decodes them.
using FlagValues = std::array<int32_t, kFlagCount>;
FlagValues ValuesOf(const LevelScan& scan);

// The format of the history's lines that this program writes: 1 had no
// "v", no "file" and no "undoes"; 2 no line of how a change left its level.
// A reader reads the lines of every format up to its own, and of later
// ones what it knows of them.
inline constexpr int kHistoryFormat = 3;

// What the history keeps of a change beside the values: the kind of level,
// where its flags lie, their bytes before and as written (as many as the
// kind's RecordBytes), when, and which program wrote them.
struct ChangeDetails {
  const LevelFormat* kind = &kTrcFormat;
  int64_t offset = 0;
  std::array<uint8_t, kFlagBytes> before{};
  std::array<uint8_t, kFlagBytes> written{};
  std::string time;     // UTC, "2026-12-09T05:10:00.123Z"
  std::string program;  // "ornivale", "ornivale-cli set", …
  // The level as the change found it, read before the write; lines of the
  // first format keep none.
  std::optional<LevelIdentity> file;
  // Made by restore --last: it gave back what the last change not undone
  // before it had changed.
  bool undoes_last = false;
  // The format of its line.
  int format = kHistoryFormat;
  // How it left the level, as the line recorded after its write says, once
  // the history's reader has found that line.
  std::optional<LevelIdentity> left;

  // Whether a line of how it left the level follows it: none that does not
  // come never finished.
  bool TellsHowItLeft() const { return format >= 3 && file.has_value(); }
};

// The line recorded after a change was written, synced and checked: how it
// left the level. An undo writes only where the level is still exactly that.
struct ChangeLeft {
  int64_t offset = 0;
  std::array<uint8_t, kFlagBytes> written{};
  LevelIdentity file;
  const LevelFormat* kind = &kTrcFormat;
};

// One line read back. A line names the kind of level it is of by
// "format" ("trc" where it names none), and so which flags its values hold.
struct Record {
  std::string path;
  bool failure = false;  // {"path":…,"error":{…}}: it holds no values
  FlagValues values{};   // what the level held, or holds after a change
  std::optional<FlagValues> before;     // a set's or a change's "before"
  std::optional<ChangeDetails> change;  // a line of the history
  std::optional<ChangeLeft> left;       // a line of how a change left it
  const LevelFormat* kind = &kTrcFormat;
};

// How the lines hold characters beyond ASCII: as \u escapes (a UTF-16
// pair above U+FFFF), in all that is printed, so that no code page a
// reader decodes it by (Windows PowerShell 5.1's) changes a path; or as
// UTF-8, in the history's file, where a level's name is looked for as it
// is.
enum class JsonText { Ascii, Utf8 };

// {"path":…,"lara":{"value":3,"text":"Catsuit"},"weather":{…}}; the text of
// a value without an entry is null.
std::string ShowJson(const std::string& path, const LevelScan& scan);
// ShowJson's with "matches":true or false.
std::string CheckJson(const std::string& path, const LevelScan& scan, bool matches);
// The values after, "before":{"lara":…,"weather":…} and "changed":true or
// false.
std::string SetJson(const std::string& path, const FlagValues& before,
                    const FlagValues& after);
// A change as the history keeps it: SetJson's with "time", "program",
// "offset", "bytes":{"before":"03000100","written":"04000100"}, "file"
// (volume, index and fingerprint as 16 hexadecimal digits, the last-write
// time in the system's units, and for the third format its size and birth
// time), "undoes":"last" for a restore --last, and "v", the format of the
// line it was read from.
std::string ChangeJson(const std::string& path, const ChangeDetails& change,
                       JsonText text = JsonText::Ascii);
// {"path":…,"left":{"offset":34,"bytes":"04000100"},"file":{…},"v":3}: the
// line that tells how a change left the level, its identity after the
// write.
std::string LeftJson(const std::string& path, const ChangeLeft& left,
                     JsonText text = JsonText::Ascii);
// {"path":…,"error":{"code":"cut-short","message":…}}.
std::string FailureJson(const LevelStatus& status, const std::string& message);

// Reads one line. None when it is no such record, with why in `why` ("isn't
// a line that …", "names the member \"path\" twice", …), and `newer` set
// where the line says it was written by a later version of this program (a
// later "v", or a kind of level it does not know), which may mean it right.
// Values are whole numbers, -32768 to 65535; a path must be one that could
// name a file on `disk`. Members it does not know are passed over.
std::optional<Record> ParseRecord(const std::string& line, Disk& disk, std::string* why,
                                  bool* newer = nullptr);

// The stored value of a record's value: -1 is 65535.
inline uint16_t StoredValue(int32_t value) { return static_cast<uint16_t>(value); }
// The values that the flags' bytes of a level of `kind` hold.
FlagValues ValuesOfBytes(const std::array<uint8_t, kFlagBytes>& bytes, const LevelFormat& kind);
// An edit's change that gives every flag of `kind` its value of `values`.
FlagChange ChangeTo(const FlagValues& values, const LevelFormat& kind);

// {"path":…,"recorded":false}: a level of which the history holds nothing.
std::string NothingRecordedJson(const std::string& path);
// {"path":…,"to_apply":false}: a level that reapply finds nothing to write
// again into.
std::string NothingToApplyJson(const std::string& path);

}  // namespace ornivale
