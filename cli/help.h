#pragma once

#include <ostream>

namespace ornivale::cli {

// The help: usage, commands and options from their tables, the TYPEs of each
// flag, how LEVELs are taken, the failure codes and the exit statuses.
void PrintHelp(std::ostream& out);

}  // namespace ornivale::cli
