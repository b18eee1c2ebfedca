// The words of the window's "Error" box, once for each failure.
#include <gtest/gtest.h>

#include "level/failure_words.h"

namespace ornivale {
namespace {

LevelStatus With(LevelCode code, const char* reason = "", const char* part = "",
                 int64_t offset = -1) {
  LevelStatus status = Failure(code, "D:\\levels\\city.trc", reason);
  status.part = part;
  status.offset = offset;
  return status;
}

TEST(WindowMessage, SaysWhatFailedWithWhichLevel) {
  const struct {
    LevelStatus status;
    const char* text;
  } cases[] = {
      {With(LevelCode::CannotOpen, "Access denied"),
       "Can't open D:\\levels\\city.trc: Access denied"},
      {With(LevelCode::InUse),
       "D:\\levels\\city.trc is being used by another program. Close it there, "
       "then try again."},
      {With(LevelCode::NotRegularFile),
       "D:\\levels\\city.trc isn't a level file: it is a folder, a device or a "
       "pipe."},
      {With(LevelCode::ReadFailed, "Bad sector"),
       "Can't read D:\\levels\\city.trc: Bad sector"},
      {With(LevelCode::WrongVersion),
       "D:\\levels\\city.trc isn't a valid Tomb Raider Chronicles Level"},
      {With(LevelCode::CutShort, "", "texture block 2", 30),
       "D:\\levels\\city.trc isn't a complete level: it ends inside texture "
       "block 2."},
      {With(LevelCode::TooLarge), "D:\\levels\\city.trc is too large to be a level."},
      {With(LevelCode::Tr4Level),
       "D:\\levels\\city.trc is a Tomb Raider IV level: it keeps other data "
       "where a TRC level keeps the Lara type and weather, so they can't be "
       "saved."},
      {With(LevelCode::Tr4Level, "", "", 34),
       "D:\\levels\\city.trc is a Tomb Raider IV level: it keeps other data "
       "where a TRC level keeps the Lara type and weather, so they can't be "
       "saved. The file was not changed."},
      {With(LevelCode::Changed),
       "D:\\levels\\city.trc has changed since it was loaded. Load it again "
       "before saving."},
      {With(LevelCode::WriteFailed, "Disk full"),
       "Can't write D:\\levels\\city.trc: Disk full"},
      {With(LevelCode::NothingLoaded),
       "There is no loaded level to save. Load a level first."},
      {With(LevelCode::LoadFailed),
       "D:\\levels\\city.trc couldn't be loaded, so it can't be saved."},
      {With(LevelCode::NotLoadedLevel),
       "D:\\levels\\city.trc isn't the loaded level. Load it before saving."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WindowMessage(c.status), c.text) << CodeName(c.status.code);
  }
}

// Once bytes went out, no message may say that nothing was written.
TEST(WindowMessage, AFailureAfterTheWriteSaysTheLevelMayHoldTheNewValues) {
  LevelStatus sync = With(LevelCode::WriteFailed, "Disk full");
  sync.may_be_written = true;
  EXPECT_EQ(WindowMessage(sync),
            "Saving D:\\levels\\city.trc may not have finished: Disk full. The "
            "level may now hold the new values; load it again to see what it "
            "holds.");
  LevelStatus moved = With(LevelCode::Changed, "another file is there");
  moved.may_be_written = true;
  EXPECT_EQ(WindowMessage(moved),
            "D:\\levels\\city.trc changed on disk while it was being saved: "
            "another file is there. The level may now hold the new values; load "
            "it again to see what it holds.");
}

}  // namespace
}  // namespace ornivale
