#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "level/ports/level_file.h"
#include "level/ports/level_status.h"

namespace ornivale {

// Bytes read from the start of a file or of standard input, in order.
class Input {
 public:
  explicit Input(std::string name) : name_(std::move(name)) {}
  virtual ~Input() = default;
  Input(const Input&) = delete;
  Input& operator=(const Input&) = delete;

  // The file's path, or "standard input": what failures name.
  const std::string& name() const { return name_; }
  // Reads up to `capacity` bytes into `buffer`; `*count` is 0 at the end.
  virtual LevelStatus Read(char* buffer, std::size_t capacity,
                           std::size_t* count) = 0;

 private:
  std::string name_;
};

// A stretch of a file's bytes: `size` bytes from `offset`.
struct Stretch {
  int64_t offset = 0;
  int64_t size = 0;
};

// An entry of a folder: its own name, and whether it is a symbolic link,
// which the system follows to another file.
struct FolderEntry {
  std::string name;
  bool link = false;
};

// What Disk::Rewrite asks of its caller: the stretches of the file to keep,
// in order, as `now` reads it from its start.
using Rewriting = std::function<LevelStatus(Input& now, std::vector<Stretch>* kept)>;

// The operating system as the core uses it: its files, its environment and
// its clock. The system's own is defined in disk/ for the system the
// program is built for and chosen when the program is linked; tests put
// their own disks in its place.
class Disk {
 public:
  virtual ~Disk() = default;

  // Opens an existing regular file into `file`; a folder, a pipe or a
  // device is refused at once (NotRegularFile). Opened for writing, the
  // file is held so that no other Ornivale program edits it until it is
  // closed.
  virtual LevelStatus Open(const std::string& path, OpenMode mode,
                           std::unique_ptr<LevelFile>* file) = 0;

  // Whether something is at `path`.
  virtual bool Exists(const std::string& path) = 0;
  // Opens an existing regular file for reading from its start, refusing at
  // once a folder, a pipe or a device (Windows' device names included).
  virtual LevelStatus OpenInput(const std::string& path,
                                std::unique_ptr<Input>* input) = 0;
  // Standard input; CannotOpen when the program has none (it was closed).
  virtual LevelStatus OpenStandardInput(std::unique_ptr<Input>* input) = 0;
  // Whether standard output is a pipe whose reader has gone (`| head` that
  // has read what it wanted), not a file that took no more.
  virtual bool StandardOutputClosed() = 0;

  // Appends `text` to the file at `path`, which is made, with its folder,
  // on first use: in one write, holding the file against other programs
  // appending at once, and synced before it returns, with the names it
  // made. Where the file's last line lacks its end, a line end goes first.
  // An append that fails part way is taken back where the system allows.
  // Another append is waited for, about a second at most; a Rewrite
  // holding the file is not: BeingCompacted at once.
  virtual LevelStatus Append(const std::string& path, const std::string& text) = 0;
  // Replaces the file at `path` under the hold that Append takes, so that
  // no append is lost meanwhile: `keep` reads the file as it is and names
  // the stretches of it to keep, which are copied into a new file made
  // afresh beside the file the path leads to (a link stays a link, to the
  // file rewritten), synced and put in its place, its folder synced. The
  // new file is held meanwhile, which tells appends that a rewrite holds
  // the file. Where anything fails the file is left as it was, and the new
  // one is removed.
  virtual LevelStatus Rewrite(const std::string& path, const Rewriting& keep) = 0;
  // Whether Append to `path` would be refused for what the system tells
  // without writing: something there that is no regular file or may not be
  // written, or a folder to make it in that may not be written to. What a
  // dry run tells of the history.
  virtual LevelStatus CheckAppendable(const std::string& path) = 0;

  // Whether `path` names a folder (or a link to one) in `is_folder`; a
  // path that names nothing is no folder. CannotOpen with the system's
  // reason when it can't be told: an unreadable folder on the way, a loop
  // of links, a failing disk.
  virtual LevelStatus IsFolder(const std::string& path, bool* is_folder) = 0;
  // The entries directly in `folder` ("" for the program's own), their own
  // long names on Windows, in no particular order; CannotOpen with the
  // system's reason when it can't be listed. Windows names a file by its
  // path, so an entry there is never taken for a link.
  virtual LevelStatus ListFolder(const std::string& folder,
                                 std::vector<FolderEntry>* entries) = 0;
  // The characters that end a path's folder part, the one the system joins
  // a folder and a name with first: "/" on POSIX, "\\/:" on Windows.
  virtual const char* Separators() = 0;
  // Whether a name given with `*` or `?` is the program's to expand, as
  // Windows' console leaves it, where a POSIX shell has expanded it.
  virtual bool ExpandsWildcards() = 0;

  // Whether `path` could name a file at all: no NUL, and on Windows none
  // of the characters its names never hold.
  virtual bool CanNameAFile(const std::string& path) = 0;
  // Whether `path` is absolute by the system's rules: on POSIX it begins
  // with "/", on Windows with a drive letter and a slash or backslash
  // ("C:\\") or with two backslashes (a UNC path, "\\\\server\\share").
  virtual bool IsAbsolute(const std::string& path) = 0;
  // The full path of the file `path` names, as the system resolves it: on
  // POSIX the folders' and the file's links followed and ".." taken after
  // them, as the file is opened (a path that names nothing yet keeps its
  // last part as given); on Windows made absolute as Windows does, by the
  // path alone.
  virtual std::string FullPath(const std::string& path) = 0;
  // What two full paths that name one file by the system's rules have in
  // common: the path itself, or on Windows its ASCII letters in lower case.
  virtual std::string PathKey(const std::string& full_path) = 0;

  // A variable of the program's environment, none when it is not set.
  virtual std::optional<std::string> Environment(const char* name) = 0;
  // Where programs keep state of their own on this system, for the history:
  // %LOCALAPPDATA%\Ornivale\history.jsonl on Windows, elsewhere
  // $XDG_STATE_HOME/ornivale/history.jsonl or
  // ~/.local/state/ornivale/history.jsonl. CannotOpen when none is known.
  virtual LevelStatus DefaultHistoryPath(std::string* path) = 0;
  // The time now: milliseconds since 1970-01-01 00:00 UTC.
  virtual int64_t NowMilliseconds() = 0;
  // Returns after about `milliseconds`.
  virtual void Pause(int milliseconds) = 0;

  // The operating system's own.
  static Disk& Default();
};

}  // namespace ornivale
