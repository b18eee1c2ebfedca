#include <gtest/gtest.h>

#include "level/format/flag_vocabulary.h"

namespace ornivale {
namespace {

TEST(FlagVocabulary, LaraTypesMapBothWays) {
  const int32_t stored[] = {0, 1, 3, 4, 6};
  for (int position = 0; position < 5; ++position) {
    EXPECT_EQ(LaraValue(position), stored[position]);
    EXPECT_EQ(LaraPosition(stored[position]), position);
  }
  EXPECT_STREQ(LaraTypes[2].text, "Catsuit");
  EXPECT_STREQ(LaraTypes[4].text, "Invisible");
}

TEST(FlagVocabulary, LaraValuesWithoutAnEntryGiveNoPosition) {
  for (int32_t value : {2, 5, 7, 100, -1, -32768, 65535}) {
    EXPECT_FALSE(LaraPosition(value).has_value()) << value;
  }
}

TEST(FlagVocabulary, WeatherPositionIsTheStoredValue) {
  for (int32_t value = 0; value <= 2; ++value) {
    EXPECT_EQ(WeatherPosition(value), value);
    EXPECT_EQ(WeatherValue(value), value);
  }
  EXPECT_STREQ(WeatherTypes[0].text, "Normal Weather");
  EXPECT_STREQ(WeatherTypes[2].text, "Snow");
}

TEST(FlagVocabulary, WeatherOutsideTheListGivesNoPosition) {
  for (int32_t value : {-1, 3, 7, 32767}) {
    EXPECT_FALSE(WeatherPosition(value).has_value()) << value;
  }
}

TEST(FlagVocabulary, NoSelectionOrAMissingPositionGivesNoValue) {
  EXPECT_FALSE(LaraValue(-1).has_value());
  EXPECT_FALSE(LaraValue(5).has_value());
  EXPECT_FALSE(WeatherValue(-1).has_value());
  EXPECT_FALSE(WeatherValue(3).has_value());
}

}  // namespace
}  // namespace ornivale
