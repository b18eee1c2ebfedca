#include "cli/commands.h"

#include "cli/history_commands.h"
#include "cli/level_commands.h"

namespace ornivale::cli {

const std::array<Command, 6> kCommands{{
    {"show", kTakesJson | kTakesQuiet | kNeedsLevels, Access::ReadOnly, "LEVEL...",
     "prints each level's Lara type and weather", RunShow},
    {"check", kTakesJson | kTakesQuiet | kTakesValues | kNeedsLevels, Access::ReadOnly,
     "LEVEL...",
     "only reads: succeeds when every level holds the values\n"
     "named, and names each level that holds others",
     RunCheck},
    {"set",
     kTakesJson | kTakesQuiet | kTakesDryRun | kTakesValues | kNeedsValues | kTakesFrom |
         kNeedsLevels | kUsesHistory,
     Access::Writes, "LEVEL...",
     "rewrites the values named in place, two bytes each, and\n"
     "no other byte; a value not named keeps what is stored,\n"
     "and a level that holds the values already is not\n"
     "written at all. Prints what each level held and holds.",
     RunSet},
    {"history", kTakesJson | kUsesHistory | kTakesCompact, Access::ReadOnly,
     "[LEVEL|FOLDER...]",
     "prints the changes Ornivale made to the levels named, or\n"
     "to all, oldest first, from its history",
     RunHistory},
    {"restore",
     kTakesJson | kTakesQuiet | kTakesDryRun | kTakesLast | kNeedsLevels | kUsesHistory,
     Access::Writes, "LEVEL|FOLDER...",
     "gives each level the values it held before Ornivale\n"
     "first changed it (--last: before its last change), where\n"
     "it still holds what Ornivale last wrote there",
     RunRestore},
    {"reapply", kTakesJson | kTakesQuiet | kTakesDryRun | kNeedsLevels | kUsesHistory,
     Access::Writes, "LEVEL|FOLDER...",
     "after a build, writes again into each level the values\n"
     "that Ornivale's changes left there and the build put\n"
     "back; recorded, so restore gives the build's own back",
     RunReapply},
}};

const Command* FindCommand(const std::string& name) {
  for (const Command& command : kCommands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

}  // namespace ornivale::cli
