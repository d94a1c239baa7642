#include "gui/first_run.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "gui/listing.h"
#include "gui/runner.h"
#include "gui/safe_write.h"
#include "stand_in_engines.h"

namespace {

// Sets environment variables for one test and puts them back after it.
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
    const char* profile;
    const char* home;
    const char* config;
    std::vector<std::string> places;
    const char* starter;
  };
  const Case cases[] = {
      {nullptr,
       "/h",
       nullptr,
       {"/h/pendra.pnd", "/h/pendra/pendra.pnd", "/h/My Documents/pendra.pnd",
        "/h/My Documents/Pendra/pendra.pnd", "/h/.config/pendra/pendra.pnd"},
       "/h/.config/pendra/pendra.pnd"},
      {"/p",
       "/h",
       "/c",
       {"/p/pendra.pnd", "/p/pendra/pendra.pnd", "/p/My Documents/pendra.pnd",
        "/p/My Documents/Pendra/pendra.pnd", "/c/pendra/pendra.pnd"},
       "/c/pendra/pendra.pnd"},
      {nullptr, nullptr, "relative", {}, ""},
  };
  for (const Case& c : cases) {
    Environment environment;
    environment.set("USERPROFILE", c.profile);
    environment.set("HOME", c.home);
    environment.set("XDG_CONFIG_HOME", c.config);
    EXPECT_EQ(c.places, gui::reminderSearchPlaces());
    EXPECT_EQ(c.starter, gui::starterFilePath());
  }
}

// The starter file goes where pendcal looks, and pendcal reads all of it:
// run it with no -f in a fresh home.
TEST(FirstRun, PendcalFindsAndReadsTheStarterFile) {
  StandInEngines scratch;
  Environment environment;
  environment.set("USERPROFILE", nullptr);
  environment.set("HOME", scratch.directory().c_str());
  environment.set("XDG_CONFIG_HOME", nullptr);
  const std::vector<std::string> window = {"-b", "0", "-a", "40", "1", "mar", "2030"};

  gui::EngineRun none = gui::runEngine(PENDCAL_PATH, window);
  EXPECT_TRUE(gui::isNoReminderFile(none)) << none.output;

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
