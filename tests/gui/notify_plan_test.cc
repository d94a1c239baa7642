#include "gui/notify_plan.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

// A listing line: scanned, matched, line, text.
std::string record(const char* scanned, const char* matched, int line, const std::string& text) {
  return std::string(scanned) + "\t" + matched + "\tpendra.pnd\t" + std::to_string(line) + "\t" +
         text + "\n";
}

gui::NotifyState stateOn(const pendra::Date& day, std::set<std::string> keys = {}) {
  gui::NotifyState state;
  state.valid = true;
  state.lastDay = day;
  state.keys = std::move(keys);
  return state;
}

TEST(NotifyPlan, Plans) {
  const pendra::Date today(8, 12, 2026);
  const std::string listing = record("2026-12-04", "2026-12-04", 1, "Missed four days ago") +
                              record("2026-12-05", "2026-12-05", 2, "Missed on Saturday") +
                              record("2026-12-06", "2026-12-08", 3, "Ahead, not caught up") +
                              record("2026-12-07", "2026-12-07", 4, "Two\\nlines") +
                              record("2026-12-08", "2026-12-08", 5, "Dentist") +
                              record("2026-12-08", "2026-12-11", 6, "Market day");
  gui::Listing parsed = gui::parseListing(listing);
  const std::string dentistKey = gui::reminderKey(parsed.occurrences[4]);
  const std::string marketKey = gui::reminderKey(parsed.occurrences[5]);
  struct Expected {
    std::string title;
    Lines lines;
  };
  struct Case {
    const char* name;
    gui::NotifyState state;
    std::string summary;
    std::vector<Expected> notifications;
  };
  const Case cases[] = {
      {"missing state: today only",
       gui::NotifyState{},
       "",
       {{"Tue 8 Dec 2026", {"Dentist", "Fri 11 Dec: Market day"}}}},
      {"three days back: the two days between, then today",
       stateOn({5, 12, 2026}),
       "",
       {{"While you were away", {"Mon 7 Dec: Two / lines"}},
        {"Tue 8 Dec 2026", {"Dentist", "Fri 11 Dec: Market day"}}}},
      {"ten days back: at most seven",
       stateOn({28, 11, 2026}),
       "",
       {{"While you were away",
         {"Fri 4 Dec: Missed four days ago", "Sat 5 Dec: Missed on Saturday",
          "Mon 7 Dec: Two / lines"}},
        {"Tue 8 Dec 2026", {"Dentist", "Fri 11 Dec: Market day"}}}},
      {"same day, nothing new", stateOn(today, {dentistKey, marketKey}), "", {}},
      {"same day, one new", stateOn(today, {marketKey}), "", {{"Tue 8 Dec 2026", {"Dentist"}}}},
      {"problems, once",
       stateOn(today, {dentistKey, marketKey}),
       "2 problems in pendra.pnd",
       {{"Tue 8 Dec 2026", {"2 problems in pendra.pnd"}}}},
      {"problems already told",
       stateOn(today, {dentistKey, marketKey, "1 problem in pendra.pnd"}),
       "1 problem in pendra.pnd",
       {}},
      {"yesterday: no catch-up left",
       stateOn({7, 12, 2026}),
       "",
       {{"Tue 8 Dec 2026", {"Dentist", "Fri 11 Dec: Market day"}}}},
  };
  for (const Case& c : cases) {
    gui::NotifyPlan plan = gui::planNotifications(parsed, c.summary, c.state, today);
    ASSERT_EQ(c.notifications.size(), plan.notifications.size()) << c.name;
    for (size_t i = 0; i < plan.notifications.size(); ++i) {
      EXPECT_EQ(c.notifications[i].title, plan.notifications[i].title) << c.name;
      EXPECT_EQ(c.notifications[i].lines, plan.notifications[i].lines) << c.name;
    }
    // Whatever was sent, the same run again sends nothing.
    EXPECT_TRUE(plan.next.valid);
    EXPECT_TRUE(plan.next.lastDay.sameDay(today));
    gui::NotifyState saved = gui::parseNotifyState(gui::notifyStateText(plan.next));
    EXPECT_TRUE(gui::planNotifications(parsed, c.summary, saved, today).notifications.empty())
        << c.name;
  }
}

TEST(NotifyPlan, MoreThanEightLines) {
  std::string listing;
  for (int i = 1; i <= 11; ++i)
    listing += record("2026-12-08", "2026-12-08", i, std::string(1, 'R') += std::to_string(i));
  gui::NotifyPlan plan = gui::planNotifications(gui::parseListing(listing), "1 problem in p.pnd",
                                                gui::NotifyState{}, {8, 12, 2026});
  ASSERT_EQ(1u, plan.notifications.size());
  EXPECT_EQ(
      (Lines{"R1", "R2", "R3", "R4", "R5", "R6", "R7", "R8", "and 3 more", "1 problem in p.pnd"}),
      plan.notifications[0].lines);
  EXPECT_EQ(12u, plan.next.keys.size());
}

TEST(NotifyPlan, StateFile) {
  gui::NotifyState state = stateOn({8, 12, 2026}, {"a\tb\\c\nd", " spaced ", "x=y"});
  std::string text = gui::notifyStateText(state);
  gui::NotifyState read = gui::parseNotifyState(text);
  EXPECT_TRUE(read.valid);
  EXPECT_TRUE(read.lastDay.sameDay(state.lastDay));
  EXPECT_EQ(state.keys, read.keys);
  const char* damaged[] = {
      "",
      "[notified]\n",
      "[notified]\nday=2026-13-01\n",
      "[notified]\nday=2026-12-08\n[keys]\nk1=bad\\escape\n",
      "[notified]\nday=2026-12-08\n[keys]\nno equals sign\n",
      "[notified]\nday=2026-12-08\n[other]\nx=1\n",
      "[notified\nday=2026-12-08\n",
  };
  for (const char* bad : damaged) EXPECT_FALSE(gui::parseNotifyState(bad).valid) << bad;
  EXPECT_TRUE(gui::parseNotifyState("[notified]\r\nday=2026-12-08\r\n").valid);
}

TEST(NotifyPlan, ProblemSummary) {
  gui::Problem placed{"/h/pendra.pnd", 3, "error: x", ""};
  EXPECT_EQ("", gui::problemSummary({}, "/h/pendra.pnd"));
  EXPECT_EQ("1 problem in pendra.pnd", gui::problemSummary({placed}, "/h/pendra.pnd"));
  EXPECT_EQ("2 problems in pendra.pnd", gui::problemSummary({placed, placed}, "/h/pendra.pnd"));
  EXPECT_EQ("(timed out)", gui::problemSummary({{"", 0, "(timed out)", ""}}, "/h/p.pnd"));
  EXPECT_EQ("2 problems in the reminder file",
            gui::problemSummary({{"", 0, "fatal error: x", ""}, placed}, ""));
}

}  // namespace
