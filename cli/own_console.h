#pragma once

namespace ornivale::cli {

// Whether the program runs in a console of its own, as a double-click in
// Explorer starts it: the console closes as soon as the program ends. The
// program is then the console's only process, and reads from and writes to
// it (not to a file or a pipe).
bool RunsInConsoleOfItsOwn();

// Says to press a key and waits for one, so that the console shows the
// program's text until it has been read.
void WaitForKey();

}  // namespace ornivale::cli
