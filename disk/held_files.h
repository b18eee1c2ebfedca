#pragma once

#include <cstdint>
#include <set>
#include <utility>

namespace ornivale {

// The levels that this thread's edits hold, by their volume and index. A
// hold asked for one of them by another name (a link, a folder that holds
// it) is the same level again within one run of edits: no wait would see
// it let go. Another thread's hold is waited for, as another program's.
class HeldFiles {
 public:
  static HeldFiles& Here() {
    thread_local HeldFiles files;
    return files;
  }

  void Add(uint64_t volume, uint64_t index) { files_.insert({volume, index}); }
  void Remove(uint64_t volume, uint64_t index) { files_.erase({volume, index}); }
  bool Holds(uint64_t volume, uint64_t index) const {
    return files_.count({volume, index}) != 0;
  }
  bool Empty() const { return files_.empty(); }

 private:
  std::set<std::pair<uint64_t, uint64_t>> files_;
};

}  // namespace ornivale
