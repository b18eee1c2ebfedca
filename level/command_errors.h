#pragma once

#include <exception>
#include <string>

#include "level/level_error.h"
#include "level/window_services.h"

namespace ornivale {

// Runs one level command and turns whatever failure ends it into the one
// message the user sees; the command's files are closed by then, because
// they live inside `command`.
template <typename Command>
void RunReportingFailures(const std::string& path, WindowServices& window,
                          Command command) {
  std::string failure;
  try {
    command();
    return;
  } catch (const LevelError& e) {
    failure = e.what();
  } catch (const EndOfFileError& e) {
    failure = path + " isn't a complete level: it ends inside " + e.what() + ".";
  } catch (const std::exception& e) {
    failure = path + ": " + e.what();
  }
  window.ShowMessage(failure, "Error", MessageIcon::Critical);
}

}  // namespace ornivale
