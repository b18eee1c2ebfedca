#pragma once

#include <cstddef>
#include <functional>
#include <optional>

#include "tests/disk_wrapper.h"

namespace ornivale::testing {

// The operating system's own files with failures to order: each call goes
// to the real disk, then fails where asked, so a test sees what a failing
// disk really leaves behind.
class FaultyDisk : public DiskWrapper {
 public:
  // Opens through the real disk, wrapping each file it opens.
  LevelStatus Open(const std::string& path, OpenMode mode,
                   std::unique_ptr<LevelFile>* file) override;

  // Writes only this many bytes of a write for real, then fails.
  std::optional<std::size_t> short_write;
  bool fail_sync = false;
  bool fail_close = false;  // after the real close
  // Run right before and right after each real write, as another program
  // might.
  std::function<void()> before_write;
  std::function<void()> after_write;
};

}  // namespace ornivale::testing
