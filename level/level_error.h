#pragma once

#include <stdexcept>
#include <string>

namespace ornivale {

// A failure of a level command, with the text the user is shown for it.
class LevelError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A read that would pass the end of the file. The scan turns it into a
// LevelError that names the path and the field.
class EndOfFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace ornivale
