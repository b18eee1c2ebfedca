#pragma once

#include <ostream>

namespace ornivale::cli {

// The help: usage, commands and options from their tables, the TYPEs of each
// flag, how LEVELs are taken, the failure codes and the exit statuses.
void PrintHelp(std::ostream& out);

// The usage alone and where the rest is: what fits a console window of its
// own, as a double-click in Explorer opens.
void PrintShortHelp(std::ostream& out);

}  // namespace ornivale::cli
