#include "cli/command_line.h"

#include <gtest/gtest.h>

#include "cli/commands.h"
#include "cli/type_names.h"

namespace ornivale::cli {
namespace {

using Args = std::vector<std::string>;

TEST(TypeNames, ListTextsInAnyCaseShortNamesAndStoredValues) {
  EXPECT_EQ(FindType(kFlags[kLara], "Catsuit"), 3);
  EXPECT_EQ(FindType(kFlags[kLara], "CATSUIT"), 3);
  EXPECT_EQ(FindType(kFlags[kLara], "normal lara"), 0);
  EXPECT_EQ(FindType(kFlags[kLara], "Young"), 1);
  EXPECT_EQ(FindType(kFlags[kLara], "invisible"), 6);
  EXPECT_EQ(FindType(kFlags[kLara], "6"), 6);
  EXPECT_EQ(FindType(kFlags[kLara], "03"), 3);
  EXPECT_EQ(FindType(kFlags[kWeather], "Normal Weather"), 0);
  EXPECT_EQ(FindType(kFlags[kWeather], "normal"), 0);
  EXPECT_EQ(FindType(kFlags[kWeather], "SNOW"), 2);
  EXPECT_EQ(FindType(kFlags[kWeather], "1"), 1);
}

// A level may store a value that no entry has (2 and 5 for the Lara
// type); any stored value can be given back to it.
TEST(TypeNames, AnyStoredValueFrom0To65535) {
  EXPECT_EQ(FindType(kFlags[kLara], "2"), 2);
  EXPECT_EQ(FindType(kFlags[kLara], "5"), 5);
  EXPECT_EQ(FindType(kFlags[kWeather], "65535"), 65535);
  EXPECT_EQ(FindType(kFlags[kWeather], "00007"), 7);
  // As show prints them, the values from 32768 up may come negative.
  EXPECT_EQ(FindType(kFlags[kWeather], "-1"), 65535);
  EXPECT_EQ(FindType(kFlags[kLara], "-32768"), 32768);
  for (const char* type : {"65536", "99999", "123456", "-32769", "-0x1", "--1", "+3", "3 "}) {
    EXPECT_FALSE(FindType(kFlags[kLara], type)) << type;
    EXPECT_FALSE(FindType(kFlags[kWeather], type)) << type;
  }
}

TEST(TypeNames, NothingElseMatches) {
  for (const char* type : {"", "cat", "normal weather", " catsuit", "catsuit ",
                           "99999999999", "0x3"}) {
    EXPECT_FALSE(FindType(kFlags[kLara], type)) << type;
  }
  for (const char* type : {"normal lara", "rainy", "Normal  Weather"}) {
    EXPECT_FALSE(FindType(kFlags[kWeather], type)) << type;
  }
}

TEST(ParseArguments, Show) {
  const Arguments parsed = ParseArguments({"show", "a.trc", "--json", "b.trc"});
  EXPECT_STREQ(parsed.command->name, "show");
  EXPECT_TRUE(parsed.json);
  EXPECT_EQ(parsed.levels, (Args{"a.trc", "b.trc"}));
  EXPECT_FALSE(ParseArguments({"show", "a.trc"}).json);
}

TEST(ParseArguments, SetTakesEitherOptionFormAnywhere) {
  Arguments parsed =
      ParseArguments({"set", "a.trc", "--lara=divesuit", "--weather", "Snow"});
  EXPECT_STREQ(parsed.command->name, "set");
  EXPECT_EQ(parsed.change.values[kLara], 4);
  EXPECT_EQ(parsed.change.values[kWeather], 2);
  EXPECT_EQ(parsed.levels, Args{"a.trc"});

  parsed = ParseArguments({"set", "--weather=0", "a.trc", "--json", "b.trc"});
  EXPECT_FALSE(parsed.change.values[kLara]);
  EXPECT_EQ(parsed.change.values[kWeather], 0);
  EXPECT_TRUE(parsed.json);
  EXPECT_EQ(parsed.levels, (Args{"a.trc", "b.trc"}));
}

TEST(ParseArguments, CheckTakesTheValuesToFindOrNone) {
  Arguments parsed = ParseArguments({"check", "--lara", "catsuit", "a.trc"});
  EXPECT_STREQ(parsed.command->name, "check");
  EXPECT_EQ(parsed.change.values[kLara], 3);
  EXPECT_FALSE(parsed.change.values[kWeather]);
  parsed = ParseArguments({"check", "--json", "a.trc", "b.trc"});
  EXPECT_TRUE(parsed.change.empty());
  EXPECT_EQ(parsed.levels, (Args{"a.trc", "b.trc"}));
}

TEST(ParseArguments, SetFromAFileOrStandardInput) {
  Arguments parsed = ParseArguments({"set", "--from", "levels.json", "--json"});
  EXPECT_EQ(parsed.from, "levels.json");
  EXPECT_TRUE(parsed.json);
  EXPECT_TRUE(parsed.levels.empty());
  EXPECT_EQ(ParseArguments({"set", "--from=-"}).from, "-");
  EXPECT_FALSE(ParseArguments({"set", "--lara", "0", "a.trc"}).from);
}

TEST(ParseArguments, AfterDoubleDashEverythingIsALevel) {
  const Arguments parsed =
      ParseArguments({"show", "--", "--json", "--help", "-x.trc"});
  EXPECT_FALSE(parsed.json);
  EXPECT_STREQ(parsed.command->name, "show");
  EXPECT_EQ(parsed.levels, (Args{"--json", "--help", "-x.trc"}));
  // A lone dash is a name too.
  EXPECT_EQ(ParseArguments({"show", "-"}).levels, Args{"-"});
}

TEST(ParseArguments, HelpWinsOverEverythingElseAndVersionStandsAlone) {
  EXPECT_EQ(ParseArguments({"--help"}).action, Arguments::Action::Help);
  EXPECT_EQ(ParseArguments({"-h"}).action, Arguments::Action::Help);
  EXPECT_EQ(ParseArguments({"/?"}).action, Arguments::Action::Help);
  EXPECT_EQ(ParseArguments({"show", "a.trc", "/?"}).action, Arguments::Action::Help);
  EXPECT_EQ(ParseArguments({"set", "--bogus", "--help"}).action, Arguments::Action::Help);
  EXPECT_EQ(ParseArguments({"--version"}).action, Arguments::Action::Version);
  EXPECT_EQ(ParseArguments({"--version", "--help"}).action, Arguments::Action::Help);
}

TEST(ParseArguments, UsageErrorsSayWhatIsWrong) {
  const std::vector<std::pair<Args, std::string>> cases = {
      {{}, "no command given"},
      {{"--version", "extra"}, "--version takes no other word"},
      {{"show", "--version"}, "--version takes no other word"},
      {{"history", "--lara", "0"}, "unknown option '--lara' for history"},
      {{"restore"}, "no level given"},
      {{"show", "--dry-run", "a.trc"}, "unknown option '--dry-run' for show"},
      {{"set", "--last", "--lara", "0", "a.trc"}, "unknown option '--last' for set"},
      {{"list", "a.trc"}, "unknown command 'list'"},
      {{"--json", "a.trc"}, "unknown option '--json'"},
      {{"show"}, "no level given"},
      {{
           "show",
           "--",
       },
       "no level given"},
      {{"show", "--lara", "catsuit", "a.trc"},
       "unknown option '--lara' for show"},
      {{"set", "--jason", "a.trc"}, "unknown option '--jason' for set"},
      {{"set", "a.trc"},
       "set needs --lara TYPE, --weather TYPE or both, or --from FILE"},
      {{"check"}, "no level given"},
      {{"check", "--from", "x", "a.trc"}, "unknown option '--from' for check"},
      {{"set", "--from"}, "--from needs a FILE"},
      {{"set", "--from", "a", "--from", "b"}, "--from is given twice"},
      {{"set", "--from", "r.json", "a.trc"},
       "set --from takes no LEVEL, --lara or --weather: its records name the "
       "levels and their values"},
      {{"set", "--from", "r.json", "--lara", "0"},
       "set --from takes no LEVEL, --lara or --weather: its records name the "
       "levels and their values"},
      {{"set", "--lara", "catsuit"}, "no level given"},
      {{"set", "a.trc", "--lara"}, "--lara needs a TYPE"},
      {{"set", "--lara=fog", "a.trc"}, "unknown Lara type 'fog'"},
      {{"set", "--lara=", "a.trc"}, "unknown Lara type ''"},
      {{"set", "--weather", "65536", "a.trc"}, "unknown weather type '65536'"},
      {{"set", "--lara", "young", "--lara", "young", "a.trc"},
       "--lara is given twice"},
      {{"set", "--larax=young", "a.trc"},
       "unknown option '--larax=young' for set"},
  };
  for (const auto& [args, what] : cases) {
    try {
      ParseArguments(args);
      ADD_FAILURE() << "no usage error for: " << what;
    } catch (const UsageError& e) {
      EXPECT_EQ(e.what(), what);
      EXPECT_FALSE(e.hint().empty());
      EXPECT_EQ(e.hint().find('\n'), std::string::npos);
    }
  }
}

TEST(ParseArguments, AnUnknownTypeHintListsTheNames) {
  try {
    ParseArguments({"set", "--weather", "fog", "a.trc"});
    FAIL();
  } catch (const UsageError& e) {
    EXPECT_EQ(e.hint(),
              "Weather types: normal, rain, snow, a list text or a stored "
              "value 0 to 65535.");
  }
}

}  // namespace
}  // namespace ornivale::cli
