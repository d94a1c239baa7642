// Where pendra's files are on Windows: %APPDATA%, %LOCALAPPDATA% and the
// profile directory, as pendcal searches it. Paths are UTF-8.
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "gui/first_run.h"
#include "gui/notify_plan.h"
#include "gui/settings.h"
#include "gui/win32/wide.h"

namespace gui {

namespace {

// The variable in UTF-8; empty when unset or empty.
std::string variable(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value != nullptr ? narrow(value) : std::string();
}

std::string inDirectory(const std::string& directory, const char* name) {
  return directory.empty() ? std::string() : directory + "\\" + name;
}

}  // namespace

std::string settingsPath() { return inDirectory(variable(L"APPDATA"), "Pendra\\pendra.ini"); }

std::string notifyStatePath() {
  return inDirectory(variable(L"LOCALAPPDATA"), "Pendra\\notified.ini");
}

std::vector<std::string> reminderSearchPlaces() {
  static const char* const kPlaces[] = {"pendra.pnd", "pendra\\pendra.pnd",
                                        "My Documents\\pendra.pnd",
                                        "My Documents\\Pendra\\pendra.pnd"};
  std::vector<std::string> places;
  std::string profile = variable(L"USERPROFILE");
  if (!profile.empty())
    for (const char* place : kPlaces) places.push_back(inDirectory(profile, place));
  return places;
}

std::string starterFilePath() { return inDirectory(variable(L"USERPROFILE"), "pendra.pnd"); }

}  // namespace gui
