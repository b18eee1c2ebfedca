#pragma once

#include <string>

namespace ornivale {

// Whether the name `a` comes before `b` in the order Explorer shows names:
// a run of digits by its value ("level2" before "level10"), letters with
// their case and Latin-1 accents aside ("bonus" before "Zürich", "été"
// among the e's). Names alike that way (in case, accents or leading zeros
// alone) come in the order of their code points, so that every two names
// have one order.
bool NameBefore(const std::string& a, const std::string& b);

}  // namespace ornivale
