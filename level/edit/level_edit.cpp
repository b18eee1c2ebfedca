// The edit road: each level read under its hold, checked, its change
// recorded in the history, then written, synced, read again and looked at.
#include <algorithm>
#include <array>
#include <memory>
#include <set>

#include "level/edit/level_access.h"
#include "level/edit/level_rules.h"
#include "level/history/history.h"
#include "level/history/records.h"
#include "level/words/failure_words.h"

namespace ornivale {
namespace {

// How many levels' changes go into one append to the history, each level
// held open meanwhile: few enough for any system's limit on open files,
// enough that the history's sync costs little beside the levels' own.
constexpr std::size_t kBatch = 128;

LevelStatus AfterWriting(LevelStatus status) {
  if (status.code == LevelCode::CutShort) {
    status = Failure(LevelCode::Changed, status.path, "it was cut short");
  }
  status.may_be_written = true;
  return status;
}

LevelStatus ChangedWhileWriting(const std::string& path, const char* reason) {
  return AfterWriting(Failure(LevelCode::Changed, path, reason));
}

// The first failure of two stands.
void Keep(LevelStatus& first, LevelStatus next) {
  if (first.ok() && !next.ok()) first = std::move(next);
}

// The flags' bytes, from the flag position on, as they are to be after the
// edit: those read, with the values given put in their places.
std::array<uint8_t, kFlagBytes> BytesToWrite(const LevelScan& scan,
                                             const FlagChange& change) {
  std::array<uint8_t, kFlagBytes> bytes{};
  if (!scan.format) return bytes;
  for (const FlagPlace& place : *scan.format) {
    const WordField& read = scan.flags[place.flag];
    std::copy(read.Raw.begin(), read.Raw.end(), bytes.begin() + place.offset);
    const auto& value = change.values[place.flag];
    if (value) WriteWord(bytes.data() + place.offset, *value);
  }
  return bytes;
}

std::array<uint8_t, kFlagBytes> BytesRead(const LevelScan& scan) {
  return BytesToWrite(scan, FlagChange{});
}

// The scan with `bytes` in place of the flags read.
LevelScan WithFlags(LevelScan scan, const std::array<uint8_t, kFlagBytes>& bytes) {
  if (!scan.format) return scan;
  for (const FlagPlace& place : *scan.format) {
    scan.flags[place.flag] = ReadWord(&bytes[place.offset]);
  }
  return scan;
}

// One level's edit, from its open to its result.
class Edit {
 public:
  Edit(const LevelEdit& edit, std::string full_path)
      : edit_(edit), full_path_(std::move(full_path)), change_(edit.change) {
    result_.full_path = full_path_;
  }

  const LevelEdit& edit() const { return edit_; }
  // The level's full path, as the history names it.
  const std::string& full_path() const { return full_path_; }
  const EditResult& result() const { return result_; }
  // Whether it waits in the batch for its change to be recorded and
  // written.
  bool writes() const { return writes_; }
  // A dry run's: whether the real run would record and write a change.
  bool would_write() const { return would_write_; }
  // Whether it wrote the level, and every check after the write held.
  bool wrote() const { return wrote_; }

  // Everything before the history: the name rules, the open that holds the
  // level, the read under that hold and its checks. A level it won't write
  // is closed at once, and so is every level of a dry run, which fails
  // where the write would be refused for the file's permissions.
  void Prepare(Disk& disk, bool dry_run) {
    result_.status = rules::CheckName(edit_.path, edit_.names);
    if (!result_.ok()) return;
    const LevelStatus opened = disk.Open(edit_.path, OpenMode::Held, &file_);
    if (!opened.ok()) {
      result_.status = opened;
      if (!opened.held_here) ReadWithoutWriting(disk);
      return;
    }
    result_.opened = true;
    result_.status = Read();
    writes_ = result_.ok() && !change_.HeldBy(result_.before);
    bytes_ = BytesToWrite(result_.before, change_);
    if (writes_) {
      // Before the change is recorded: a level that can't be written has
      // no change to record.
      result_.status = dry_run ? file_->CheckWritable() : file_->OpenForWriting();
      would_write_ = dry_run && result_.ok();
      if (would_write_) result_.after.scan = WithFlags(result_.before, bytes_);
      // A level that can't be opened for writing was not opened for the
      // edit, as the window's log tells it.
      if (!dry_run && !result_.ok()) result_.opened = false;
      writes_ = result_.ok() && !dry_run;
    }
    if (!writes_) Keep(result_.status, file_->Close());
  }

  // What the history keeps of the change it is about to write.
  ChangeDetails Change() const {
    ChangeDetails change;
    change.kind = result_.before.format;
    change.offset = result_.before.flags_offset;
    change.before = BytesRead(result_.before);
    change.written = bytes_;
    change.file = IdentityOf(result_.after);  // as read, before the write
    change.undoes_last = edit_.undoes_last;
    return change;
  }

  // How the write left the level, once it and every check after it
  // succeeded: what the history keeps after the write.
  std::optional<ChangeLeft> Left() const {
    if (!wrote_) return std::nullopt;
    return ChangeLeft{result_.before.flags_offset, bytes_, IdentityOf(result_.after),
                      result_.before.format};
  }
  // The history could not keep how the write left the level.
  void LeftUnrecorded(const LevelStatus& why) { result_.left_unrecorded = why; }

  // Closes the level without a result: the edit is made again later.
  void GiveBack() {
    if (file_) file_->Close();
    writes_ = false;
  }

  // The change could not be recorded: the level is left as it is.
  void Unrecorded(const LevelStatus& why) {
    result_.status = why;
    result_.status.path = edit_.path;
    file_->Close();
    writes_ = false;
    would_write_ = false;
  }

  // A look that the level is still what was read (a program that takes no
  // hold may have written it while its change was recorded), the write and
  // every check after it, then the close.
  void Write() {
    result_.status = CheckUnchanged();
    if (result_.ok()) result_.status = WriteAndSync();
    if (result_.ok()) result_.status = ReadAgain();
    LevelStatus closed = file_->Close();
    if (!closed.ok()) closed = AfterWriting(closed);
    Keep(result_.status, closed);
    if (result_.ok()) result_.status = CheckPath();
    writes_ = false;
    wrote_ = result_.ok();
  }

 private:
  LevelStatus Read() {
    LevelState& now = result_.after;
    now.path = file_->path();
    now.stamp = file_->Stamp();
    now.scan = ScanLevel(*file_);
    result_.before = now.scan;
    return rules::CheckBeforeWriting(now, edit_, &change_);
  }

  // A level that can't be opened for writing (read-only, or held by another
  // program) may still hold the values already: it is read, and only when
  // it needs a write does the failure to open it stand.
  void ReadWithoutWriting(Disk& disk) {
    if (!disk.Open(edit_.path, OpenMode::ReadOnly, &file_).ok()) return;
    const bool held = Read().ok() && change_.HeldBy(result_.before);
    if (file_->Close().ok() && held) {
      result_.status = {};
      result_.opened = true;
    }
    file_.reset();
  }

  // One run of bytes, from the first value given to the last, where the
  // level's format keeps them.
  LevelStatus WriteAndSync() {
    std::size_t first = kFlagBytes;
    std::size_t last = 0;
    for (const FlagPlace& place : *result_.before.format) {
      if (!change_.values[place.flag]) continue;
      first = std::min(first, place.offset);
      last = std::max(last, place.offset + 2);
    }
    LevelStatus status = file_->Write(
        result_.before.flags_offset + static_cast<int64_t>(first),
        bytes_.data() + first, last - first);
    if (!status.ok()) return status;
    status = file_->Sync();
    return status.ok() ? status : AfterWriting(status);
  }

  // Reads the head and the flags once more before writing them.
  LevelStatus CheckUnchanged() {
    const LevelScan now = ScanLevel(*file_);
    const LevelScan& before = result_.before;
    if (!now.status.ok() || !SameHeader(now.header, before.header) ||
        now.flags_offset != before.flags_offset || BytesRead(now) != BytesRead(before)) {
      return Failure(LevelCode::Changed, file_->path(), "it changed while its change was recorded");
    }
    return {};
  }

  // Reads the head and the flags again: a level cut short, grown back by
  // the write, or rewritten with its flags elsewhere shows here.
  LevelStatus ReadAgain() {
    LevelScan again = ScanLevel(*file_);
    const LevelCode code = again.status.code;
    if (code == LevelCode::ReadFailed || code == LevelCode::CutShort) {
      return AfterWriting(again.status);
    }
    const LevelScan& before = result_.before;
    if (code != LevelCode::Ok || !SameHeader(again.header, before.header) ||
        again.flags_offset != before.flags_offset) {
      return ChangedWhileWriting(file_->path(), "its head changed");
    }
    if (BytesRead(again) != bytes_) {
      return ChangedWhileWriting(file_->path(), "it holds other values");
    }
    result_.after.scan = std::move(again);
    return {};
  }

  // After the close: the path must still name the file that was written, at
  // the size it had, or another program moved or cut it meanwhile.
  LevelStatus CheckPath() {
    FileStamp now;
    const LevelStatus status = file_->StampOfPath(&now);
    if (!status.ok()) {
      return AfterWriting(Failure(LevelCode::CannotCheck, file_->path(), status.reason));
    }
    if (!now.SameFile(file_->Stamp())) {
      return ChangedWhileWriting(file_->path(), "another file is there");
    }
    if (now.size != file_->Stamp().size) {
      return ChangedWhileWriting(file_->path(), "its size changed");
    }
    result_.after.stamp = now;
    return {};
  }

  const LevelEdit& edit_;
  std::string full_path_;
  // The values to write: the edit's, or those its undo gives back in the
  // state the level is in.
  FlagChange change_;
  std::unique_ptr<LevelFile> file_;
  EditResult result_;
  std::array<uint8_t, kFlagBytes> bytes_{};
  bool writes_ = false;
  bool would_write_ = false;
  bool wrote_ = false;
};

// The edits of one run, a batch at a time: the changes of a batch are
// recorded together, then written.
class Run {
 public:
  Run(const EditRun& run, Disk& disk,
      const std::function<void(const EditResult&)>& done)
      : run_(run), disk_(disk), done_(done) {}

  void Add(const LevelEdit& edit) {
    // One level twice in a batch would wait for its own hold.
    std::string full_path = edit.full_path.empty() ? disk_.FullPath(edit.path) : edit.full_path;
    const std::string key = disk_.PathKey(full_path);
    if (held_.count(key) != 0) Flush();
    edits_.push_back(std::make_unique<Edit>(edit, std::move(full_path)));
    Edit& added = *edits_.back();
    added.Prepare(disk_, run_.dry_run);
    if (added.result().status.too_many_open && !held_.empty()) return MakeRoom();
    // The same level again, by another name: the batch is written first.
    if (added.result().status.held_here && !held_.empty()) {
      edits_.pop_back();
      Flush();
      return Add(edit);
    }
    if (added.writes()) held_.insert(key);
    would_write_ |= added.would_write();
    if (held_.size() == kBatch) Flush();
  }

  // Lets go of the batch's levels without recording or writing any, and
  // without a result: the run was stopped.
  void Abandon() {
    for (const auto& edit : edits_) edit->GiveBack();
    edits_.clear();
    held_.clear();
  }

  // Records the batch's changes in one append, writes them, and gives every
  // result in order.
  void Flush() {
    if (!held_.empty()) {
      const LevelStatus recorded = Record();
      for (const auto& edit : edits_) {
        if (!edit->writes()) continue;
        if (recorded.ok()) {
          edit->Write();
        } else {
          edit->Unrecorded(recorded);
        }
      }
      if (recorded.ok()) RecordLefts();
    }
    // A dry run fails where the history would refuse the changes.
    const LevelStatus recordable =
        would_write_ ? run_.history.CheckAppendable() : LevelStatus{};
    for (const auto& edit : edits_) {
      if (!recordable.ok() && edit->would_write()) edit->Unrecorded(recordable);
      done_(edit->result());
    }
    edits_.clear();
    held_.clear();
    would_write_ = false;
  }

 private:
  // The system's limit on open files was met with levels held. The edit
  // that met it is made again after the batch is recorded and written; so
  // is the last held level (with the edits after it) where another stays
  // held, so that the history's append and the writes find files to open.
  void MakeRoom() {
    // The caller's edits, which every Edit refers to, outlive the run.
    std::vector<const LevelEdit*> again{&edits_.back()->edit()};
    edits_.pop_back();
    for (bool gave_back_held = held_.size() < 2; !gave_back_held;) {
      Edit& last = *edits_.back();
      gave_back_held = last.writes();
      if (gave_back_held) held_.erase(disk_.PathKey(last.full_path()));
      again.insert(again.begin(), &last.edit());
      last.GiveBack();
      edits_.pop_back();
    }
    Flush();
    for (const LevelEdit* edit : again) Add(*edit);
  }

  LevelStatus Record() {
    if (run_.history.off()) return {};
    const std::string time = UtcTime(disk_.NowMilliseconds());
    std::string lines;
    for (const auto& edit : edits_) {
      if (!edit->writes()) continue;
      ChangeDetails change = edit->Change();
      change.time = time;
      change.program = run_.program;
      lines += ChangeJson(edit->full_path(), change, JsonText::Utf8) + "\n";
    }
    return run_.history.Append(lines, run_.waits_for_compaction, run_.stop);
  }

  // After the writes, how each left its level, in one more append.
  void RecordLefts() {
    if (run_.history.off()) return;
    std::string lines;
    for (const auto& edit : edits_) {
      if (const auto left = edit->Left()) {
        lines += LeftJson(edit->full_path(), *left, JsonText::Utf8) + "\n";
      }
    }
    if (lines.empty()) return;
    const LevelStatus recorded = run_.history.Append(lines, run_.waits_for_compaction, run_.stop);
    if (recorded.ok()) return;
    for (const auto& edit : edits_) {
      if (edit->wrote()) edit->LeftUnrecorded(recorded);
    }
  }

  const EditRun& run_;
  Disk& disk_;
  const std::function<void(const EditResult&)>& done_;
  std::vector<std::unique_ptr<Edit>> edits_;
  std::set<std::string> held_;  // the keys of the levels waiting to be written
  bool would_write_ = false;    // a dry run's batch holds a change
};

}  // namespace

void EditLevels(const std::vector<LevelEdit>& edits, const EditRun& run,
                Disk& disk, const std::function<void(const EditResult&)>& done) {
  Run batches(run, disk, done);
  for (const LevelEdit& edit : edits) {
    if (run.stop && run.stop()) return batches.Abandon();
    batches.Add(edit);
  }
  batches.Flush();
}

EditResult EditLevel(const LevelEdit& edit, const EditRun& run, Disk& disk) {
  EditResult result;
  EditLevels({edit}, run, disk, [&](const EditResult& done) { result = done; });
  return result;
}

}  // namespace ornivale
