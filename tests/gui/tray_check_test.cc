#include "gui/tray_check.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

const pendra::Date kToday(8, 12, 2026);

// A scratch home for the state and settings files, through the XDG variables.
class TrayCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("tray_check_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "config" / "pendra");
    setenv("XDG_STATE_HOME", (root_ / "state").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XDG_STATE_HOME");
    unsetenv("XDG_CONFIG_HOME");
    fs::remove_all(root_);
  }
  void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  fs::path statePath() const { return root_ / "state" / "pendra" / "notified.ini"; }

  fs::path root_;
};

gui::EngineRun listingRun(const std::string& output, const std::string& errors = "",
                          int status = 0) {
  gui::EngineRun run;
  run.ok = true;
  run.output = output;
  run.errors = errors;
  run.status = status;
  return run;
}

const char kListing[] =
    "file\t/h/pendra.pnd\n"
    "2026-12-06\t2026-12-06\t/h/pendra.pnd\t3\tOld\n"
    "2026-12-08\t2026-12-08\t/h/pendra.pnd\t1\tDentist\n";

Lines titles(const gui::TrayOutcome& outcome) {
  Lines out;
  for (const gui::Notification& n : outcome.notifications) out.push_back(n.title + "|" + n.body());
  return out;
}

}  // namespace

TEST_F(TrayCheck, RequestCoversTheMissedDaysAndTheChosenFile) {
  struct Case {
    const char* state;     // nullptr: no state file
    const char* settings;  // nullptr: no settings file
    Lines arguments;
  } cases[] = {
      {nullptr, nullptr, {"-k", "-l", "-b", "0", "-a", "0", "8", "dec", "2026"}},
      {"[notified]\nday=2026-12-05\n",
       nullptr,
       {"-k", "-l", "-b", "2", "-a", "0", "8", "dec", "2026"}},
      {"[notified]\nday=2026-10-01\n",
       "[file]\nreminders=/data/my.pnd\n",
       {"-k", "-l", "-f", "/data/my.pnd", "-b", "7", "-a", "0", "8", "dec", "2026"}},
      {"damaged\n", nullptr, {"-k", "-l", "-b", "0", "-a", "0", "8", "dec", "2026"}},
  };
  for (const Case& c : cases) {
    fs::remove(statePath());
    fs::remove(root_ / "config" / "pendra" / "pendra.ini");
    if (c.state) write(statePath(), c.state);
    if (c.settings) write(root_ / "config" / "pendra" / "pendra.ini", c.settings);
    gui::EngineRequest request = gui::checkRequest("/bin/pendcal", gui::TrayMemory(), kToday);
    EXPECT_EQ(c.arguments, request.arguments) << (c.state ? c.state : "no state");
    EXPECT_TRUE(request.errorsApart);
    EXPECT_EQ("/bin/pendcal", request.path);
  }
}

TEST_F(TrayCheck, SavesTheStateSoNothingIsSentTwice) {
  write(statePath(), "[notified]\nday=2026-12-05\n");
  gui::TrayMemory memory;
  gui::TrayOutcome first = gui::finishCheck(listingRun(kListing), "p", kToday, &memory);
  EXPECT_EQ(Lines({"While you were away|Sun 6 Dec: Old", "Tue 8 Dec 2026|Dentist"}), titles(first));
  EXPECT_EQ(Lines({"/h/pendra.pnd"}), first.files);
  EXPECT_EQ("", first.saveError);
  // A restart (no memory) reads the saved state: nothing again.
  gui::TrayMemory restarted;
  EXPECT_TRUE(
      gui::finishCheck(listingRun(kListing), "p", kToday, &restarted).notifications.empty());
  // A reminder added later in the day: only it.
  std::string more = std::string(kListing) + "2026-12-08\t2026-12-08\t/h/pendra.pnd\t9\tCall\n";
  EXPECT_EQ(Lines({"Tue 8 Dec 2026|Call"}),
            titles(gui::finishCheck(listingRun(more), "p", kToday, &restarted)));
}

TEST_F(TrayCheck, AFailedRunKeepsTheMissedDaysForTheNextOne) {
  write(statePath(), "[notified]\nday=2026-12-05\n");
  gui::EngineRun timedOut = listingRun("file\t/h/pendra.pnd\n");
  timedOut.timedOut = true;
  timedOut.signal = 9;
  gui::EngineRun crashed = listingRun("", "", 0);
  crashed.signal = 11;
  for (const gui::EngineRun& failed : {gui::EngineRun(), timedOut, crashed}) {
    gui::TrayMemory memory;
    gui::TrayOutcome outcome = gui::finishCheck(failed, "/x/pendcal", kToday, &memory);
    ASSERT_EQ(1u, outcome.notifications.size());
    EXPECT_EQ("Tue 8 Dec 2026", outcome.notifications[0].title);
  }
  gui::TrayMemory memory;
  EXPECT_EQ(Lines({"While you were away|Sun 6 Dec: Old", "Tue 8 Dec 2026|Dentist"}),
            titles(gui::finishCheck(listingRun(kListing), "p", kToday, &memory)));
}

TEST_F(TrayCheck, UnwritableStateStillNeverRepeats) {
  write(root_ / "state", "a file where the folder should be");
  gui::TrayMemory memory;
  gui::TrayOutcome first = gui::finishCheck(listingRun(kListing), "p", kToday, &memory);
  EXPECT_EQ(Lines({"Tue 8 Dec 2026|Dentist"}), titles(first));
  EXPECT_NE("", first.saveError);
  EXPECT_TRUE(gui::finishCheck(listingRun(kListing), "p", kToday, &memory).notifications.empty());
}

TEST_F(TrayCheck, TroubleIsOneLine) {
  struct Case {
    gui::EngineRun run;
    Lines shown;
  } cases[] = {
      {listingRun("usage: pendcal [-k]\n", "", 1), {"Tue 8 Dec 2026|No reminder file found"}},
      {listingRun(kListing,
                  "/h/pendra.pnd(4): Unbound variable: dayname\n\n  (dayname)\n"
                  "/h/pendra.pnd(7): error: not an action\n",
                  1),
       {"Tue 8 Dec 2026|Dentist\n2 problems in pendra.pnd"}},
      {gui::EngineRun(), {"Tue 8 Dec 2026|Error executing pendcal"}},
  };
  for (const Case& c : cases) {
    fs::remove(statePath());
    gui::TrayMemory memory;
    EXPECT_EQ(c.shown, titles(gui::finishCheck(c.run, "/x/pendcal", kToday, &memory)));
  }
}

TEST_F(TrayCheck, StateLockMakesTraysTakeTurns) {
  const std::string path = statePath().string();
  fs::create_directories(statePath().parent_path());
  std::atomic<bool> released{false};
  std::optional<gui::StateLock> first(std::in_place, path);
  ASSERT_TRUE(first->locked());
  std::thread second([&] {
    gui::StateLock lock(path);
    EXPECT_TRUE(lock.locked());
    // It can only get here after the first lock is gone.
    EXPECT_TRUE(released.load());
  });
  // Time for the second to block, so that a lock that does not block shows.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  released = true;
  first.reset();
  second.join();
  EXPECT_FALSE(gui::StateLock("").locked());
}

TEST(TrayCheckLog, Line) {
  EXPECT_EQ("pendra --tray: 2026-12-08: 1 of 2 notifications sent",
            gui::checkLogLine(kToday, 1, 2));
}
