#include "gui/tray_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

namespace {

const pendra::Date kToday(8, 12, 2026);  // a Tuesday

// One occurrence record; days are offsets from kToday.
std::string record(int scanned, int matched, int line, const std::string& text) {
  pendra::Date s = kToday, m = kToday;
  s.fromDayNumber(kToday.dayNumber() + scanned);
  m.fromDayNumber(kToday.dayNumber() + matched);
  return gui::isoDate(s) + '\t' + gui::isoDate(m) + "\t/h/pendra.pnd\t" + std::to_string(line) +
         '\t' + text + '\n';
}

gui::NotifyState stateOn(int offset, std::set<std::string> keys = {}, std::string trouble = "") {
  gui::NotifyState state;
  state.valid = true;
  state.day.fromDayNumber(kToday.dayNumber() + offset);
  state.keys = std::move(keys);
  state.trouble = std::move(trouble);
  return state;
}

// "TITLE|LINE/LINE" per notification.
Lines shown(const gui::NotifyPlan& plan) {
  Lines out;
  for (const gui::Notification& n : plan.notifications) {
    std::string text = n.title + "|";
    for (size_t i = 0; i < n.lines.size(); ++i) text += (i ? "/" : "") + n.lines[i];
    out.push_back(text);
  }
  return out;
}

}  // namespace

TEST(TrayPlan, ParsesListing) {
  gui::TrayListing listing = gui::parseTrayListing(
      "file\t/h/pendra.pnd\r\nfile\t/h/work.pnd\n"
      "2026-12-08\t2026-12-11\t/h/work.pnd\t12\tRent \\\\ 50\\tEUR\\nnow\n"
      "Scheme output that is no record\n"
      "2026-12-08\t2026-13-01\t/h/pendra.pnd\t3\tbad month\n"
      "10000-01-01\t10000-01-01\t/h/pendra.pnd\t7\tFar\n");
  EXPECT_EQ(Lines({"/h/pendra.pnd", "/h/work.pnd"}), listing.files);
  ASSERT_EQ(2u, listing.items.size());
  const gui::TrayItem& rent = listing.items[0];
  EXPECT_EQ("Rent \\ 50\tEUR\nnow", rent.text);
  EXPECT_EQ("/h/work.pnd", rent.file);
  EXPECT_EQ(12, rent.line);
  EXPECT_TRUE(rent.lookAhead());
  EXPECT_EQ(10000u, listing.items[1].matched.year);
  EXPECT_FALSE(listing.items[1].lookAhead());
}

TEST(TrayPlan, CountsProblems) {
  struct Case {
    const char* errors;
    int count;
  } cases[] = {
      {"", 0},
      {"hello from display\n", 0},
      {"/h/pendra.pnd(3): error: not an action\n", 1},
      {"/h/pendra.pnd(4): Unbound variable: dayname\n\n  (dayname)\n  (f 1)\n"
       "/h/a (1).pnd(9): warning: no procedure for field \"name\"\n",
       2},
      {"pendcal: warning: -b ignored\nfatal error: out of memory\nwarning: x\n", 3},
      {"note (see x): plain\n(12): no file\n", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.count, gui::countProblems(c.errors)) << c.errors;
}

TEST(TrayPlan, TroubleLine) {
  gui::TrayListing listing = gui::parseTrayListing("file\t/h/notes/pendra.pnd\n");
  auto run = [](bool ok, int status, const char* output, const char* errors) {
    gui::EngineRun r;
    r.ok = ok;
    r.status = status;
    r.output = output;
    r.errors = errors;
    return r;
  };
  gui::EngineRun timedOut = run(true, 0, "", "");
  timedOut.timedOut = true;
  timedOut.timeLimit = std::chrono::milliseconds(10000);
  struct Case {
    gui::EngineRun run;
    std::string line;
  } cases[] = {
      {run(true, 0, "file\tx\n", ""), ""},
      {run(false, 0, "", ""), "Error executing pendcal"},
      {run(true, 1, "usage: pendcal [-k]\n", ""), "No reminder file found"},
      {run(true, 1, "", "a(1): error: x\na(2): error: y\n"), "2 problems in pendra.pnd"},
      {run(true, 1, "", "a(1): warning: x\n"), "1 problem in pendra.pnd"},
      {run(true, 3, "", ""), "(pendcal exited with status 3)"},
      {timedOut, gui::endingLine(timedOut)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.line, gui::troubleLine(c.run, listing)) << c.line;
  EXPECT_FALSE(gui::endingLine(timedOut).empty());
}

TEST(TrayPlan, StateRoundTripAndDamage) {
  gui::NotifyState state = stateOn(0, {"/h/a\\b\t3\t2026-12-08\tx\ny", "k2"}, "1 problem in a");
  gui::NotifyState back = gui::parseNotifyState(gui::formatNotifyState(state));
  EXPECT_TRUE(back.valid);
  EXPECT_TRUE(back.day.sameDay(kToday));
  EXPECT_EQ(state.keys, back.keys);
  EXPECT_EQ(state.trouble, back.trouble);

  const char* damaged[] = {"",
                           "day=2026-02-30\n",
                           "day=yesterday\n",
                           "trouble=x\n",
                           "day=2026-12-08\ngarbage\n",
                           "day=2026-12-08\nday=2026-12-07\n",
                           "\x01\x02\x03"};
  for (const char* text : damaged) EXPECT_FALSE(gui::parseNotifyState(text).valid) << text;
}

TEST(TrayPlan, CatchUpDays) {
  struct Case {
    gui::NotifyState state;
    int days;
  } cases[] = {
      {gui::NotifyState(), 0}, {stateOn(0), 0},    {stateOn(-1), 0}, {stateOn(-3), 2},
      {stateOn(-8), 7},        {stateOn(-400), 7}, {stateOn(2), 0},  // the clock went back
  };
  for (const Case& c : cases) EXPECT_EQ(c.days, gui::catchUpDays(c.state, kToday));
}

TEST(TrayPlan, Plans) {
  const std::string dentist = record(0, 0, 1, "Dentist");
  const std::string rent = record(0, 3, 2, "Rent");
  const std::string old = record(-2, -2, 3, "Old");
  gui::TrayListing once = gui::parseTrayListing(dentist);
  std::string many;
  for (int i = 0; i < 11; ++i) many += record(0, 0, 10 + i, 'R' + std::to_string(i));
  std::string weeks;  // one reminder every day of the past nine
  for (int i = -9; i < 0; ++i) weeks += record(i, i, 30 + i, 'D' + std::to_string(-i));

  struct Case {
    const char* name;
    std::string listing;
    std::string trouble;
    gui::NotifyState state;
    Lines expected;
  } cases[] = {
      {"no state: today only",
       dentist + rent + old,
       "",
       gui::NotifyState(),
       {"Tue 8 Dec 2026|Dentist/Fri 11 Dec: Rent"}},
      {"nothing today", old, "", gui::NotifyState(), {}},
      {"three days back",
       old + dentist,
       "",
       stateOn(-3),
       {"While you were away|Sun 6 Dec: Old", "Tue 8 Dec 2026|Dentist"}},
      {"at most seven days back",
       weeks,
       "",
       stateOn(-20),
       {"While you were away|Tue 1 Dec: D7/Wed 2 Dec: D6/Thu 3 Dec: D5/Fri 4 Dec: D4/"
        "Sat 5 Dec: D3/Sun 6 Dec: D2/Mon 7 Dec: D1"}},
      {"same day: only new",
       dentist + rent,
       "",
       stateOn(0, {once.items[0].key()}),
       {"Tue 8 Dec 2026|Fri 11 Dec: Rent"}},
      {"same day, nothing new", dentist, "", stateOn(0, {once.items[0].key()}), {}},
      {"and N more",
       many,
       "",
       gui::NotifyState(),
       {"Tue 8 Dec 2026|R0/R1/R2/R3/R4/R5/R6/R7/and 3 more"}},
      {"problems with the reminders",
       dentist,
       "2 problems in pendra.pnd",
       gui::NotifyState(),
       {"Tue 8 Dec 2026|Dentist/2 problems in pendra.pnd"}},
      {"problems alone",
       "",
       "Error executing pendcal",
       stateOn(-1),
       {"Tue 8 Dec 2026|Error executing pendcal"}},
      {"same problems again", "", "1 problem in a", stateOn(0, {}, "1 problem in a"), {}},
      {"other problems",
       "",
       "2 problems in a",
       stateOn(0, {}, "1 problem in a"),
       {"Tue 8 Dec 2026|2 problems in a"}},
  };
  for (const Case& c : cases) {
    gui::NotifyPlan plan =
        gui::planNotifications(gui::parseTrayListing(c.listing), c.trouble, c.state, kToday);
    EXPECT_EQ(c.expected, shown(plan)) << c.name;
    EXPECT_TRUE(plan.next.valid && plan.next.day.sameDay(kToday)) << c.name;
    // Planning again from the state it leaves sends nothing more.
    EXPECT_TRUE(
        gui::planNotifications(gui::parseTrayListing(c.listing), c.trouble, plan.next, kToday)
            .notifications.empty())
        << c.name;
  }
}
