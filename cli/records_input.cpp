#include "cli/records_input.h"

#include <memory>

#include "cli/one_line.h"
#include "level/history/line_reader.h"
#include "level/history/records.h"
#include "level/words/failure_words.h"

namespace ornivale::cli {
namespace {

// A record is a few hundred bytes; a line far longer is refused unread.
constexpr std::size_t kLongestLine = 1024 * 1024;

bool Say(const LevelStatus& failure, std::ostream& err) {
  err << "ornivale-cli: " << OneLine(TerminalMessage(failure, Access::Writes)) << '\n';
  return false;
}

}  // namespace

bool EditsFrom(const std::string& source, Disk& disk, std::ostream& err,
               std::vector<RecordEdit>* edits) {
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
    } else if (!record->left) {
      edits->push_back(EditOfRecord(std::move(*record)));
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
