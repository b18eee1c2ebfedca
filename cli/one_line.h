#pragma once

#include <string>

namespace ornivale::cli {

// `text` with its control characters shown escaped ("\n", "\t", "\x1b",
// "\u009b"), and the characters that break a line or turn its direction
// ("\u2028", "\u202e"), so that a file name holding one keeps a result on
// its one line, as it reads, and can't steer the terminal. Everything else
// passes as it is.
std::string OneLine(const std::string& text);

}  // namespace ornivale::cli
