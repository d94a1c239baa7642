// Where pendra's files are on Linux and other POSIX systems: the XDG
// folders, and the reminder file places pendcal searches.
#include <cstdlib>
#include <string>
#include <vector>

#include "gui/first_run.h"
#include "gui/notify_plan.h"
#include "gui/settings.h"

namespace gui {

namespace {

// A variable set to an empty value counts as unset.
const char* variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

// An XDG base directory: the variable when it holds an absolute path (the
// XDG rules ignore a relative one), else HOME and the fallback under it.
std::string xdgDirectory(const char* name, const char* underHome) {
  const char* value = variable(name);
  if (value != nullptr && value[0] == '/') return value;
  const char* home = variable("HOME");
  return home != nullptr ? home + std::string("/") + underHome : std::string();
}

std::string inDirectory(const std::string& directory, const char* name) {
  return directory.empty() ? std::string() : directory + "/" + name;
}

}  // namespace

std::string settingsPath() {
  return inDirectory(xdgDirectory("XDG_CONFIG_HOME", ".config"), "pendra/pendra.ini");
}

std::string notifyStatePath() {
  return inDirectory(xdgDirectory("XDG_STATE_HOME", ".local/state"), "pendra/notified.ini");
}

std::vector<std::string> reminderSearchPlaces() {
  // As pendcal searches: the profile directory (USERPROFILE, else HOME),
  // then the XDG configuration directory.
  static const char* const kPlaces[] = {"pendra.pnd", "pendra/pendra.pnd",
                                        "My Documents/pendra.pnd",
                                        "My Documents/Pendra/pendra.pnd"};
  std::vector<std::string> places;
  const char* profile = variable("USERPROFILE");
  if (profile == nullptr) profile = variable("HOME");
  if (profile != nullptr)
    for (const char* place : kPlaces) places.push_back(profile + std::string("/") + place);
  std::string config = inDirectory(xdgDirectory("XDG_CONFIG_HOME", ".config"), "pendra/pendra.pnd");
  if (!config.empty()) places.push_back(config);
  return places;
}

std::string starterFilePath() {
  return inDirectory(xdgDirectory("XDG_CONFIG_HOME", ".config"), "pendra/pendra.pnd");
}

}  // namespace gui
