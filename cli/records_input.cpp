#include "cli/records_input.h"

#include <memory>

#include "cli/one_line.h"
#include "level/failure_words.h"
#include "level/line_reader.h"
#include "level/records.h"

namespace ornivale::cli {
namespace {

// A record is a few hundred bytes; a line far longer is refused unread.
constexpr std::size_t kLongestLine = 1024 * 1024;

// What a record asks of its level.
RecordedEdit EditOf(Record record) {
  if (!record.before) return {std::move(record.path), ChangeTo(record.values), {}, {}};
  // An undo: the values that set changed go back, where the level still
  // holds what it wrote.
  FlagChange back;
  FlagChange written;
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    if ((*record.before)[i] == record.values[i]) continue;
    back.values[i] = StoredValue((*record.before)[i]);
    written.values[i] = StoredValue(record.values[i]);
  }
  RecordedEdit edit{std::move(record.path), back, {}, {}};
  if (!back.empty()) edit.must_hold = written;
  if (record.change) edit.flags_offset = record.change->offset;
  return edit;
}

bool Say(const LevelStatus& failure, std::ostream& err) {
  err << "ornivale-cli: " << OneLine(TerminalMessage(failure, Access::Writes)) << '\n';
  return false;
}

}  // namespace

LevelEdit RecordedEdit::Edit() && {
  LevelEdit edit(std::move(path), change);
  if (must_hold) edit.must_hold.push_back(*must_hold);
  edit.flags_offset = flags_offset;
  return edit;
}

bool EditsFrom(const std::string& source, Disk& disk, std::ostream& err,
               std::vector<RecordedEdit>* edits) {
  std::unique_ptr<Input> input;
  const LevelStatus opened = source == "-" ? disk.OpenStandardInput(&input)
                                           : disk.OpenInput(source, &input);
  if (!opened.ok()) return Say(opened, err);
  LineReader lines(*input, kLongestLine);
  std::vector<std::string> failed;
  std::string line;
  std::string why;
  while (lines.Next(&line)) {
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    std::optional<Record> record = ParseRecord(line, disk, &why);
    if (!record) {
      LevelStatus bad = Failure(LevelCode::BadInput, input->name(), why);
      bad.offset = lines.line_number();
      return Say(bad, err);
    }
    if (record->failure) {
      failed.push_back(std::move(record->path));
    } else {
      edits->push_back(EditOf(std::move(*record)));
    }
  }
  if (!lines.status().ok()) return Say(lines.status(), err);
  if (edits->empty() && failed.empty()) {
    return Say(Failure(LevelCode::BadInput, input->name(),
                       "holds no line that show, check, set or history printed "
                       "with --json"),
               err);
  }
  for (const std::string& path : failed) {
    err << "ornivale-cli: note: " << OneLine(input->name()) << " records a failure of "
        << OneLine(path) << ", so it holds no values for it; passed over\n";
  }
  return true;
}

}  // namespace ornivale::cli
