#include "gui/first_run.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "gui/listing.h"
#include "gui/notify_plan.h"
#include "gui/safe_write.h"
#include "gui/settings.h"
#include "stand_in_engines.h"

namespace {

// Sets (or with null, unsets) environment variables until it goes.
class Environment {
 public:
  void set(const char* name, const char* value) {
    const char* old = getenv(name);
    saved_.push_back({name, old != nullptr, old != nullptr ? old : ""});
    value != nullptr ? setenv(name, value, 1) : unsetenv(name);
  }
  ~Environment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
      it->was ? setenv(it->name, it->value.c_str(), 1) : unsetenv(it->name);
  }

 private:
  struct Saved {
    const char* name;
    bool was;
    std::string value;
  };
  std::vector<Saved> saved_;
};

TEST(FirstRun, PlacesFollowTheEnvironment) {
  struct Case {
    const char *profile, *home, *config, *state;
    std::vector<std::string> places;  // the search places; the last is the starter's
    const char *settings, *notified;
  };
  const Case cases[] = {
      {nullptr,
       "/h",
       nullptr,
       nullptr,
       {"/h/pendra.pnd", "/h/pendra/pendra.pnd", "/h/My Documents/pendra.pnd",
        "/h/My Documents/Pendra/pendra.pnd", "/h/.config/pendra/pendra.pnd"},
       "/h/.config/pendra/pendra.ini",
       "/h/.local/state/pendra/notified.ini"},
      {"/p",
       "/h",
       "/c",
       "relative",
       {"/p/pendra.pnd", "/p/pendra/pendra.pnd", "/p/My Documents/pendra.pnd",
        "/p/My Documents/Pendra/pendra.pnd", "/c/pendra/pendra.pnd"},
       "/c/pendra/pendra.ini",
       "/h/.local/state/pendra/notified.ini"},
      {nullptr, "", "relative", "/s", {}, "", "/s/pendra/notified.ini"},
  };
  for (const Case& c : cases) {
    Environment environment;
    environment.set("USERPROFILE", c.profile);
    environment.set("HOME", c.home);
    environment.set("XDG_CONFIG_HOME", c.config);
    environment.set("XDG_STATE_HOME", c.state);
    EXPECT_EQ(c.places, gui::reminderSearchPlaces());
    EXPECT_EQ(c.places.empty() ? "" : c.places.back(), gui::starterFilePath());
    EXPECT_EQ(c.settings, gui::settingsPath());
    EXPECT_EQ(c.notified, gui::notifyStatePath());
  }
}

// The starter file goes where pendcal looks without -f, and pendcal reads
// all of it: run in a fresh home, first with no file, then with it.
TEST(FirstRun, PendcalFindsAndReadsTheStarterFile) {
  StandInEngines scratch;
  Environment environment;
  environment.set("USERPROFILE", nullptr);
  environment.set("HOME", scratch.directory().c_str());
  environment.set("XDG_CONFIG_HOME", nullptr);
  const std::vector<std::string> window = {"-b", "0", "-a", "40", "1", "mar", "2030"};
  EXPECT_TRUE(gui::isNoReminderFile(gui::runEngine(PENDCAL_PATH, window)));

  std::string path = gui::starterFilePath(), reason;
  ASSERT_TRUE(gui::makeDirectories(gui::parentDirectory(path), &reason)) << reason;
  for (const char* end : {"\n", "\r\n"}) {
    ASSERT_TRUE(gui::createFile(path, gui::starterFileText(end)).ok);
    gui::EngineRun run = gui::runEngine(PENDCAL_PATH, window);
    EXPECT_EQ(0, run.status) << run.output;
    // The birthday, the rent with its look-ahead, the last working day.
    for (const char* line : {"thu 14 mar 2030: Ada's birthday\n", "sat 30 mar 2030: Pay the rent\n",
                             "mon  1 apr 2030: Pay the rent\n",
                             "fri 29 mar 2030: Last working day of the month: send the invoices\n"})
      EXPECT_NE(std::string::npos, run.output.find(line)) << line << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("error")) << run.output;
  }
}

}  // namespace
