// Which file Add may write, which folders are watched, and what a new day
// does to the window.
#include "gui/keeper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gui {
namespace {

pendra::Date day(int d, int m, int y) {
  return pendra::Date(static_cast<uint8_t>(d), static_cast<uint8_t>(m), static_cast<uint32_t>(y));
}

TEST(Keeper, AddRefusesIncludesAndReadOnlyFiles) {
  const std::vector<std::string> listed = {"/h/pendra.pnd", "/h/work.pnd", "/h/pendra.pnd"};
  struct Case {
    std::string file;
    std::vector<std::string> listed;
    bool readOnly;
    std::string refusal;
  } cases[] = {
      {"/h/pendra.pnd", listed, false, ""},
      // The reminder file that includes itself again is still the reminder file.
      {"/h/pendra.pnd", listed, true, "pendra.pnd is read-only; entries cannot be added to it."},
      {"/h/work.pnd", listed, false,
       "work.pnd is included by pendra.pnd; add entries to that file instead."},
      {"/h/work.pnd", listed, true,
       "work.pnd is included by pendra.pnd; add entries to that file instead."},
      {"/h/other.pnd", listed, false, ""},
      {"/h/new.pnd", {}, false, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(addRefusal(c.file, c.listed, c.readOnly), c.refusal) << c.file << " " << c.readOnly;
}

TEST(Keeper, WatchesEachFolderOnce) {
  struct Case {
    std::vector<std::string> files;
    std::vector<std::string> folders;
  } cases[] = {
      {{}, {}},
      {{"/h/pendra.pnd"}, {"/h"}},
      {{"/h/pendra.pnd", "/h/inc/a.pnd", "/h/b.pnd", "/pendra.pnd"}, {"/h", "/h/inc", "/"}},
      {{"pendra.pnd"}, {"."}},
  };
  for (const Case& c : cases) EXPECT_EQ(watchedDirectories(c.files), c.folders);
}

TEST(Keeper, SamePathFollowsThePlatformsRules) {
  EXPECT_TRUE(samePath("/h/a.pnd", "/h/a.pnd"));
  EXPECT_FALSE(samePath("/h/a.pnd", "/h/b.pnd"));
  EXPECT_FALSE(samePath("/h/a.pnd", "/h/a.pnd~"));
#ifdef _WIN32
  EXPECT_TRUE(samePath("C:\\Users\\A\\pendra.pnd", "c:/users/a/PENDRA.PND"));
#else
  EXPECT_FALSE(samePath("/h/A.pnd", "/h/a.pnd"));
#endif
}

TEST(Keeper, NewDayMovesTodayOrRunsAgain) {
  struct Case {
    pendra::Date previous, now, picked;
    NewDay action;
  } cases[] = {
      {day(8, 12, 2026), day(8, 12, 2026), day(8, 12, 2026), NewDay::Nothing},
      {day(8, 12, 2026), day(9, 12, 2026), day(8, 12, 2026), NewDay::MoveToToday},
      {day(8, 12, 2026), day(9, 12, 2026), day(20, 12, 2026), NewDay::Refresh},
      // Back from a sleep over several days, or a clock put back.
      {day(31, 12, 2026), day(4, 1, 2027), day(31, 12, 2026), NewDay::MoveToToday},
      {day(9, 12, 2026), day(8, 12, 2026), day(1, 12, 2026), NewDay::Refresh},
  };
  for (const Case& c : cases)
    EXPECT_EQ(newDayAction(c.previous, c.now, c.picked), c.action) << c.now.day;
}

}  // namespace
}  // namespace gui
