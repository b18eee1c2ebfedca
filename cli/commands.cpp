#include "cli/commands.h"

#include "cli/level_commands.h"
#include "cli/type_names.h"
#include "level/flag_vocabulary.h"

namespace ornivale::cli {

const std::array<Command, 3> kCommands{{
    {"show", kTakesJson, Access::ReadOnly,
     "prints each level's Lara type and weather", RunShow},
    {"check", kTakesJson | kTakesValues, Access::ReadOnly,
     "only reads: succeeds when every level holds the values\n"
     "named, and names each level that holds others",
     RunCheck},
    {"set", kTakesJson | kTakesValues | kNeedsValues | kTakesFrom,
     Access::Writes,
     "rewrites the values named in place, two bytes each, and\n"
     "no other byte; a value not named keeps what is stored,\n"
     "and a level that holds the values already is not\n"
     "written at all. Prints what each level held and holds.",
     RunSet},
}};

const Command* FindCommand(const std::string& name) {
  for (const Command& command : kCommands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

}  // namespace ornivale::cli
