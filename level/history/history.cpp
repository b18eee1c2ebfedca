#include "level/history/history.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "level/history/line_reader.h"
#include "level/text/ascii.h"
#include "level/text/utf8.h"
#include "level/words/failure_words.h"

namespace ornivale {
namespace {

// A history line is a few hundred bytes; one far longer was never written
// by Ornivale, and is passed over unread.
constexpr std::size_t kLongestLine = 1024 * 1024;

// How long an append waits for a compaction, which holds the history
// throughout: a million lines take tens of seconds on a slow disk.
constexpr int64_t kCompactionWaitMs = 10 * 60 * 1000;
constexpr int kCompactionPollMs = 250;

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

// The four hexadecimal digits of a \u escape at `at`, none where they
// are not.
std::optional<char16_t> EscapedUnit(const std::string& line, std::size_t at) {
  if (at + 4 > line.size()) return std::nullopt;
  unsigned unit = 0;
  for (std::size_t i = at; i < at + 4; ++i) {
    const char c = AsciiLower(line[i]);
    if (c >= '0' && c <= '9') {
      unit = unit * 16 + static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      unit = unit * 16 + static_cast<unsigned>(c - 'a' + 10);
    } else {
      return std::nullopt;
    }
  }
  return static_cast<char16_t>(unit);
}

// The path that a line of the history's own shape names at its start,
// {"path":"…", its JSON escapes taken (a Windows path's backslashes among
// them). None where only a parse can tell: a U+FFFD, which a "path_hex"
// may stand behind, or what no JSON string holds.
std::optional<std::string> PlainPathOf(const std::string& line) {
  constexpr std::string_view kStart = "{\"path\":\"";
  if (line.compare(0, kStart.size(), kStart) != 0) return std::nullopt;
  std::string path;
  for (std::size_t at = kStart.size();; ++at) {
    const std::size_t stop = line.find_first_of("\"\\", at);
    if (stop == std::string::npos) return std::nullopt;
    path.append(line, at, stop - at);
    at = stop;
    if (line[at] == '"') {
      if (path.find("\xEF\xBF\xBD") != std::string::npos) return std::nullopt;
      return path;
    }
    if (++at == line.size()) return std::nullopt;
    switch (line[at]) {
      case '"':
      case '\\':
      case '/':
        path += line[at];
        break;
      case 'b':
        path += '\b';
        break;
      case 'f':
        path += '\f';
        break;
      case 'n':
        path += '\n';
        break;
      case 'r':
        path += '\r';
        break;
      case 't':
        path += '\t';
        break;
      case 'u': {
        // \uXXXX, and a second one where the first is half a pair.
        std::u16string units;
        for (;;) {
          const auto unit = EscapedUnit(line, at + 1);
          if (!unit) return std::nullopt;
          units += *unit;
          at += 4;
          const bool high = *unit >= 0xD800 && *unit <= 0xDBFF;
          if (!high || line.compare(at + 1, 2, "\\u") != 0) break;
          at += 2;
        }
        // A lone half of a pair is no JSON a parse takes.
        const auto half = [](char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; };
        if (units.size() == 1 ? half(units[0])
                              : !(units[1] >= 0xDC00 && units[1] <= 0xDFFF)) {
          return std::nullopt;
        }
        path += Utf16ToUtf8(units);
        break;
      }
      default:
        return std::nullopt;
    }
  }
}

// Whether `next`, recorded of a level after `last`, shows that the write of
// `last` did not happen: it found the same file and build, untouched since
// `last` read it, and no line tells how `last` left it.
bool NeverWritten(const ChangeDetails& last, const ChangeDetails& next) {
  return !last.left && last.file && next.file && next.offset == last.offset &&
         next.before == last.before && last.file->Untouched(*next.file);
}

// Whether `next`, recorded of a level after `last`, continues its chain: it
// found what `last` wrote, where `last` wrote it, in the same file and the
// same build, untouched since `last` left it where its line tells that. A
// line of an older format, which tells less of the level (an older
// Ornivale sharing the history), breaks the chain after a newer one.
bool Continues(const ChangeDetails& last, const ChangeDetails& next) {
  if (next.offset != last.offset || next.before != last.written) return false;
  if ((last.file && !next.file) || (last.TellsHowItLeft() && !next.TellsHowItLeft())) {
    return false;
  }
  if (!last.file) return true;
  return last.left ? last.left->Untouched(*next.file) : last.file->SameBuild(*next.file);
}

// Whether `left` tells how `change` left its level.
bool LeftBy(const ChangeLeft& left, const ChangeDetails& change) {
  return change.TellsHowItLeft() && !change.left && change.offset == left.offset &&
         change.written == left.written && change.file->SameFile(left.file);
}

// Builds the undo chains, line after line, as ChangesByLevel describes
// them; `Kept` goes with each line taken (for a compaction, where it lies).
template <typename Kept>
class Chains {
 public:
  struct Link {
    ChangeDetails change;
    Kept kept;
    std::optional<Kept> left_kept;  // the line of how it left the level
  };

  void Add(const std::string& key, ChangeDetails&& next, Kept&& kept) {
    // No undo needs them, and a long chain is held for less.
    std::string().swap(next.time);
    std::string().swap(next.program);
    std::vector<Link>& chain = chains_[key];
    if (!chain.empty() && NeverWritten(chain.back().change, next)) chain.pop_back();
    if (!chain.empty() && !Continues(chain.back().change, next)) chain.clear();
    chain.push_back({std::move(next), std::move(kept), std::nullopt});
  }

  // The line of how a change left the level comes after the change, and
  // after the changes of other programs that wrote it since: a change
  // recorded meanwhile that found it otherwise breaks the chain there.
  void AddLeft(const std::string& key, const ChangeLeft& left, Kept&& kept) {
    const auto found = chains_.find(key);
    if (found == chains_.end()) return;
    std::vector<Link>& chain = found->second;
    for (std::size_t i = chain.size(); i-- > 0;) {
      if (!LeftBy(left, chain[i].change)) continue;
      chain[i].change.left = left.file;
      chain[i].left_kept = std::move(kept);
      if (i + 1 < chain.size() && !left.file.Untouched(*chain[i + 1].change.file)) {
        chain.erase(chain.begin(), chain.begin() + static_cast<std::ptrdiff_t>(i) + 1);
      }
      return;
    }
  }

  // Once every line is read: a change that never told how it left the level
  // but was followed by another can't be told from another program's write,
  // so the chain starts anew after it. Only the last change of a chain may
  // still be unfinished.
  std::unordered_map<std::string, std::vector<Link>>& Finished() {
    for (auto& [key, chain] : chains_) {
      for (std::size_t i = chain.empty() ? 0 : chain.size() - 1; i-- > 0;) {
        const ChangeDetails& change = chain[i].change;
        if (change.TellsHowItLeft() && !change.left) {
          chain.erase(chain.begin(), chain.begin() + static_cast<std::ptrdiff_t>(i) + 1);
          break;
        }
      }
    }
    return chains_;
  }

 private:
  std::unordered_map<std::string, std::vector<Link>> chains_;
};

struct Nothing {};

// Each change that `lines` hold of the levels in `scope`, as History::Read
// describes it, to `each`; the lines that are none counted in `unreadable`,
// but for those that a later version wrote, told to `newer`.
void EachChange(LineReader& lines, Disk& disk, const HistoryScope& scope,
                const std::function<void(Record& record)>& each, int* unreadable,
                const std::function<void()>& newer) {
  std::string line;
  std::string why;
  bool later = false;
  while (lines.Next(&line)) {
    if (line.empty()) continue;
    const auto plain = scope ? PlainPathOf(line) : std::nullopt;
    if (plain && !scope(*plain)) continue;
    auto record = ParseRecord(line, disk, &why, &later);
    if (!record && later) {
      newer();
    } else if (!record || (!record->change && !record->left)) {
      ++*unreadable;
    } else if (!scope || plain || scope(record->path)) {
      each(*record);
    }
  }
  *unreadable += lines.passed_over();
}

}  // namespace

History History::Locate(Disk& disk) {
  History history(disk);
  const auto named = disk.Environment("ORNIVALE_HISTORY");
  if (named && AsciiLower(*named) == "off") return Off(disk);
  if (named && !named->empty()) {
    // A relative path would put a history in each folder a program starts
    // in, and "0" or "no" meant off: neither is taken for a file.
    if (!disk.IsAbsolute(*named)) {
      history.status_ = Failure(LevelCode::BadHistorySetting, {});
      history.status_.part = *named;
    }
    history.path_ = *named;
    return history;
  }
  history.status_ = disk.DefaultHistoryPath(&history.path_);
  // What failures name where the system knows no place.
  if (!history.status_.ok()) history.path_ = history.status_.path;
  return history;
}

History History::Off(Disk& disk) {
  History history(disk);
  history.off_ = true;
  return history;
}

// The failure `code` of the history's file, for `why`.
LevelStatus History::Failed(LevelCode code, const LevelStatus& why) const {
  LevelStatus status = Failure(code, path_, ReasonOf(why));
  status.part = path_;
  return status;
}

// Where the history can't be had: a setting that names no file is told as
// it is, any other reason as the failure `code` of the history's file.
LevelStatus History::Unusable(LevelCode code) const {
  return status_.code == LevelCode::BadHistorySetting ? status_ : Failed(code, status_);
}

// NotUtf8 where the file begins with a UTF-16 byte order mark, as Windows
// PowerShell 5.1's > and Out-File write it: a line of UTF-8 appended to it
// could not be read back. A file that can't be opened is told by the
// append.
LevelStatus History::CheckEncoding() const {
  std::unique_ptr<Input> input;
  if (!disk_->OpenInput(path_, &input).ok()) return {};
  unsigned char mark[2];
  std::size_t have = 0;
  for (std::size_t count = 1; have < sizeof mark && count > 0; have += count) {
    if (!input->Read(reinterpret_cast<char*>(mark) + have, sizeof mark - have, &count).ok()) {
      return {};
    }
  }
  const bool utf16 = have == 2 && ((mark[0] == 0xFF && mark[1] == 0xFE) ||
                                   (mark[0] == 0xFE && mark[1] == 0xFF));
  return utf16 ? Failure(LevelCode::NotUtf8, path_) : LevelStatus{};
}

LevelStatus History::Append(const std::string& lines, bool waits_for_compaction,
                            const std::function<bool()>& stop) const {
  if (off_) return {};
  if (!status_.ok()) return Unusable(LevelCode::HistoryNotWritten);
  LevelStatus appended = CheckEncoding();
  std::optional<int64_t> give_up;
  while (appended.ok()) {
    appended = disk_->Append(path_, lines);
    if (appended.code != LevelCode::BeingCompacted || !waits_for_compaction ||
        (stop && stop())) {
      break;
    }
    const int64_t now = disk_->NowMilliseconds();
    if (!give_up) give_up = now + kCompactionWaitMs;
    if (now >= *give_up) break;
    disk_->Pause(kCompactionPollMs);
    appended = {};
  }
  return appended.ok() ? appended : Failed(LevelCode::HistoryNotWritten, appended);
}

LevelStatus History::CheckAppendable() const {
  if (off_) return {};
  if (!status_.ok()) return Unusable(LevelCode::HistoryNotWritten);
  LevelStatus appendable = CheckEncoding();
  if (appendable.ok()) appendable = disk_->CheckAppendable(path_);
  return appendable.ok() ? appendable : Failed(LevelCode::HistoryNotWritten, appendable);
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

LevelStatus History::Read(const std::function<void(Record& record)>& each,
                          int* unreadable, const HistoryScope& scope, int* newer) const {
  *unreadable = 0;
  if (newer) *newer = 0;
  if (off_) return {};
  if (!status_.ok()) return Unusable(LevelCode::HistoryNotRead);
  std::unique_ptr<Input> input;
  const LevelStatus opened = disk_->OpenInput(path_, &input);
  if (!opened.ok()) {
    // Only nothing at all is a history not written yet: a folder, a pipe or
    // a device there is a failure, whatever the system says of its being.
    if (opened.code == LevelCode::CannotOpen && !disk_->Exists(path_)) return {};
    return Failed(LevelCode::HistoryNotRead, opened);
  }
  LineReader lines(*input, kLongestLine, LineReader::LongLines::PassOver);
  EachChange(lines, *disk_, scope, each, unreadable, [&] {
    if (newer) ++*newer;
  });
  const LevelStatus& status = lines.status();
  return status.ok() ? LevelStatus{} : Failed(LevelCode::HistoryNotRead, status);
}

LevelStatus History::Changes(ChangesByLevel* changes, int* unreadable,
                             const HistoryScope& scope) const {
  Chains<Nothing> chains;
  const LevelStatus read = Read(
      [&](Record& record) {
        if (record.change) {
          chains.Add(disk_->PathKey(record.path), std::move(*record.change), {});
        } else {
          chains.AddLeft(disk_->PathKey(record.path), *record.left, {});
        }
      },
      unreadable, scope);
  for (auto& [key, chain] : chains.Finished()) {
    std::vector<ChangeDetails>& kept = (*changes)[key];
    for (auto& link : chain) kept.push_back(std::move(link.change));
  }
  return read;
}

LevelStatus History::Compact(Compaction* compaction) const {
  *compaction = {};
  if (off_) return {};
  if (!status_.ok()) return Unusable(LevelCode::HistoryNotCompacted);
  if (!disk_->Exists(path_)) return {};
  const LevelStatus rewritten = disk_->Rewrite(path_, [&](Input& now, std::vector<Stretch>* kept) {
    // Where each chain's lines lie: only the chains as they stand are held.
    Chains<Stretch> chains;
    LineReader reader(now, kLongestLine, LineReader::LongLines::PassOver);
    bool in_bytes = true;
    int unreadable = 0;
    const auto keep = [&](Record& record) {
      const std::optional<Stretch> stretch = reader.stretch();
      in_bytes &= stretch.has_value();
      if (!in_bytes) return;
      if (record.change) {
        chains.Add(disk_->PathKey(record.path), std::move(*record.change), Stretch(*stretch));
      } else {
        chains.AddLeft(disk_->PathKey(record.path), *record.left, Stretch(*stretch));
      }
    };
    // A later version's lines are kept as they are: that version reads them.
    std::vector<Stretch> newer;
    EachChange(reader, *disk_, {}, keep, &unreadable, [&] {
      const std::optional<Stretch> stretch = reader.stretch();
      in_bytes &= stretch.has_value();
      if (in_bytes) newer.push_back(*stretch);
    });
    if (!reader.status().ok()) return reader.status();
    if (!in_bytes) return Failure(LevelCode::NotUtf8, path_);
    compaction->lines_before = reader.line_number();
    compaction->bytes_before = reader.bytes_read();
    for (auto& [key, chain] : chains.Finished()) {
      for (auto& link : chain) {
        kept->push_back(link.kept);
        if (link.left_kept) kept->push_back(*link.left_kept);
      }
    }
    compaction->lines_newer = static_cast<int64_t>(newer.size());
    kept->insert(kept->end(), newer.begin(), newer.end());
    std::sort(kept->begin(), kept->end(),
              [](const Stretch& a, const Stretch& b) { return a.offset < b.offset; });
    compaction->lines_kept = static_cast<int64_t>(kept->size());
    for (const Stretch& stretch : *kept) compaction->bytes_kept += stretch.size;
    return LevelStatus{};
  });
  return rewritten.ok() ? rewritten : Failed(LevelCode::HistoryNotCompacted, rewritten);
}

}  // namespace ornivale
