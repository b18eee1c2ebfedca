// Any bytes as the input of set --from or as the history: the line reader
// and the record reader must not crash, hang or use memory beyond the line
// limit; a line read as a record reads back as the same record once written
// again.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/quiet_disk.h"
#include "level/history/line_reader.h"
#include "level/history/records.h"

namespace {

using ornivale::Record;

class BytesInput : public ornivale::Input {
 public:
  BytesInput(const uint8_t* data, std::size_t size)
      : Input("fuzz"), data_(data), size_(size) {}
  ornivale::LevelStatus Read(char* buffer, std::size_t capacity,
                             std::size_t* count) override {
    // A few bytes at a time, as a pipe gives them: marks and characters
    // split between reads.
    *count = std::min({capacity, size_ - at_, std::size_t{7}});
    std::copy_n(data_ + at_, *count, buffer);
    at_ += *count;
    return {};
  }

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// The record written again, as the front end that made it would.
std::string Written(const Record& record) {
  if (record.change) return ornivale::ChangeJson(record.path, *record.change);
  if (record.left) return ornivale::LeftJson(record.path, *record.left);
  if (record.before) return ornivale::SetJson(record.path, *record.before, record.values);
  ornivale::LevelScan scan;
  for (std::size_t i = 0; i < ornivale::kFlagCount; ++i) {
    scan.flags[i].Value = record.values[i];
  }
  return ornivale::ShowJson(record.path, scan);
}

bool SameIdentity(const ornivale::LevelIdentity& a, const ornivale::LevelIdentity& b) {
  return a.Untouched(b) && a.size == b.size && a.born == b.born;
}

bool Same(const Record& a, const Record& b) {
  const bool same_change =
      a.change.has_value() == b.change.has_value() &&
      (!a.change || (a.change->offset == b.change->offset &&
                     a.change->before == b.change->before &&
                     a.change->written == b.change->written &&
                     a.change->time == b.change->time &&
                     a.change->program == b.change->program &&
                     a.change->undoes_last == b.change->undoes_last &&
                     a.change->format == b.change->format &&
                     a.change->file.has_value() == b.change->file.has_value() &&
                     (!a.change->file || SameIdentity(*a.change->file, *b.change->file))));
  const bool same_left =
      a.left.has_value() == b.left.has_value() &&
      (!a.left || (a.left->offset == b.left->offset && a.left->written == b.left->written &&
                   SameIdentity(a.left->file, b.left->file)));
  return a.path == b.path && a.values == b.values && a.before == b.before && same_change &&
         same_left;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  QuietDisk disk;
  BytesInput input(data, size);
  constexpr std::size_t kLongest = 512;
  ornivale::LineReader lines(input, kLongest);
  std::string line;
  std::string why;
  while (lines.Next(&line)) {
    if (line.size() > kLongest) std::abort();
    const auto record = ornivale::ParseRecord(line, disk, &why);
    if (!record) {
      if (why.empty()) std::abort();
      continue;
    }
    if (record->failure) continue;
    const auto again = ornivale::ParseRecord(Written(*record), disk, &why);
    if (!again || !Same(*record, *again)) std::abort();
  }
  return 0;
}
