#include "level/history.h"

#include <algorithm>
#include <cstdio>

#include "level/ascii.h"
#include "level/failure_words.h"
#include "level/line_reader.h"
#include "level/utf8.h"

namespace ornivale {
namespace {

// A history line is a few hundred bytes; one far longer was never written
// by Ornivale, and is passed over unread.
constexpr std::size_t kLongestLine = 1024 * 1024;

// Days since 1970-01-01 to the proleptic Gregorian date (Howard Hinnant's
// civil_from_days).
void CivilFromDays(int64_t days, int64_t* year, unsigned* month, unsigned* day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto of_era = static_cast<unsigned>(days - era * 146097);
  const unsigned year_of_era =
      (of_era - of_era / 1460 + of_era / 36524 - of_era / 146096) / 365;
  const unsigned day_of_year = of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const unsigned month_index = (5 * day_of_year + 2) / 153;
  *day = day_of_year - (153 * month_index + 2) / 5 + 1;
  *month = month_index < 10 ? month_index + 3 : month_index - 9;
  *year = static_cast<int64_t>(year_of_era) + era * 400 + (*month <= 2);
}

// What every line about the level at `path` holds, in lower case: its file
// name as JSON writes it, where that is the name itself (UTF-8 without a
// quote, a backslash or a control character). Empty where no such part is
// sure: then every line is read.
std::string NameInEveryLine(const std::string& path) {
  const std::size_t cut = path.find_last_of("/\\");
  const std::string name = path.substr(cut == std::string::npos ? 0 : cut + 1);
  const bool as_is = IsUtf8(name) && std::none_of(name.begin(), name.end(), [](char c) {
                       return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
                     });
  return as_is ? AsciiLower(name) : std::string();
}

// Whether `next`, recorded of a level after `last`, shows that the write of
// `last` did not happen: it found the same file and build, untouched since
// `last` read it.
bool NeverWritten(const ChangeDetails& last, const ChangeDetails& next) {
  return last.file && next.file && next.offset == last.offset &&
         next.before == last.before && last.file->SameBuild(*next.file) &&
         next.file->modified == last.file->modified;
}

// Whether `next`, recorded of a level after `last`, continues its chain: it
// found what `last` wrote, where `last` wrote it, in the same file and the
// same build of the level (as far as both lines say).
bool Continues(const ChangeDetails& last, const ChangeDetails& next) {
  if (next.offset != last.offset || next.before != last.written) return false;
  return !last.file || !next.file || last.file->SameBuild(*next.file);
}

}  // namespace

LevelStatus LocateHistory(Disk& disk, HistoryPlace* place) {
  *place = {};
  const auto named = disk.Environment("ORNIVALE_HISTORY");
  if (named && AsciiLower(*named) == "off") {
    place->off = true;
    return {};
  }
  if (named && !named->empty()) {
    // A relative path would put a history in each folder a program starts
    // in, and "0" or "no" meant off: neither is taken for a file.
    if (!disk.IsAbsolute(*named)) {
      LevelStatus refused = Failure(LevelCode::BadHistorySetting, {});
      refused.part = *named;
      return refused;
    }
    place->path = *named;
    return {};
  }
  return disk.DefaultHistoryPath(&place->path);
}

LevelStatus HistoryNotRead(const std::string& history, const std::string& reason) {
  LevelStatus failure = Failure(LevelCode::HistoryNotRead, history, reason);
  failure.part = history;
  return failure;
}

std::string UtcTime(int64_t milliseconds) {
  const int64_t ms_per_day = 86'400'000;
  int64_t days = milliseconds / ms_per_day;
  int64_t in_day = milliseconds % ms_per_day;
  if (in_day < 0) {
    in_day += ms_per_day;
    --days;
  }
  int64_t year = 0;
  unsigned month = 0;
  unsigned day = 0;
  CivilFromDays(days, &year, &month, &day);
  char text[64];
  std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02d.%03dZ",
                static_cast<long long>(year), month, day,
                static_cast<int>(in_day / 3'600'000), static_cast<int>(in_day / 60'000 % 60),
                static_cast<int>(in_day / 1000 % 60), static_cast<int>(in_day % 1000));
  return text;
}

LevelStatus ReadHistory(Disk& disk, const HistoryPlace& place,
                        const std::function<void(Record record)>& each,
                        int* unreadable, const std::string& level) {
  const std::string name = NameInEveryLine(level);
  *unreadable = 0;
  if (place.off) return {};
  std::unique_ptr<Input> input;
  const LevelStatus opened = disk.OpenInput(place.path, &input);
  if (!opened.ok()) {
    // Only nothing at all is a history not written yet: a folder, a pipe or
    // a device there is a failure, whatever the system says of its being.
    if (opened.code == LevelCode::CannotOpen && !disk.Exists(place.path)) return {};
    return HistoryNotRead(place.path, ReasonOf(opened));
  }
  LineReader lines(*input, kLongestLine, LineReader::LongLines::PassOver);
  std::string line;
  std::string why;
  while (lines.Next(&line)) {
    if (line.empty() || (!name.empty() && AsciiLower(line).find(name) == std::string::npos)) {
      continue;
    }
    auto record = ParseRecord(line, disk, &why);
    if (record && record->change) {
      each(std::move(*record));
    } else {
      ++*unreadable;
    }
  }
  *unreadable += lines.passed_over();
  const LevelStatus& status = lines.status();
  return status.ok() ? LevelStatus{} : HistoryNotRead(place.path, status.reason);
}

LevelStatus RecordedChanges(Disk& disk, const HistoryPlace& place,
                            ChangesByLevel* changes, int* unreadable,
                            const std::string& level) {
  return ReadHistory(
      disk, place,
      [&](Record record) {
        std::vector<ChangeDetails>& chain = (*changes)[disk.PathKey(record.path)];
        const ChangeDetails& next = *record.change;
        if (!chain.empty() && NeverWritten(chain.back(), next)) chain.pop_back();
        if (!chain.empty() && !Continues(chain.back(), next)) chain.clear();
        chain.push_back(std::move(*record.change));
      },
      unreadable, level);
}

std::optional<LevelEdit> RestoreEdit(const std::string& path,
                                     const std::vector<ChangeDetails>& chain, bool last) {
  // A restore --last undoes the last change that none has undone yet.
  std::vector<const ChangeDetails*> not_undone;
  for (const ChangeDetails& change : chain) {
    if (!change.undoes_last) {
      not_undone.push_back(&change);
    } else if (!not_undone.empty()) {
      not_undone.pop_back();
    }
  }
  if (chain.empty() || (last && not_undone.empty())) return std::nullopt;
  const ChangeDetails& undone = last ? *not_undone.back() : chain.front();
  const ChangeDetails& newest = chain.back();
  LevelEdit edit(path, ChangeTo(ValuesOfBytes(undone.before)));
  edit.must_hold = {ChangeTo(ValuesOfBytes(newest.written))};
  edit.flags_offset = newest.offset;
  edit.made_to = newest.file;
  if (newest.file) edit.held_before = ChangeTo(ValuesOfBytes(newest.before));
  edit.undoes_last = last;
  return edit;
}

}  // namespace ornivale
