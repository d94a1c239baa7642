// The window's settings file on Windows, %APPDATA%\Pendra\pendra.ini, read
// and written with GetPrivateProfileString and WritePrivateProfileString
// under the keys and checks of gui/settings.h. Never the registry.
#ifndef PENDRA_GUI_WIN32_PROFILE_SETTINGS_H_
#define PENDRA_GUI_WIN32_PROFILE_SETTINGS_H_

#include <string>
#include <vector>

#include "gui/settings.h"

namespace gui {

// The settings in the file at path (UTF-8); defaults for what is missing
// or damaged, and for no file at all.
Settings loadProfileSettings(const std::string& path);

// Writes every setting to the file at path, making its folder first.
// False, with the reason, when that failed.
bool saveProfileSettings(const std::string& path, const Settings& settings, std::string* reason);

// The work areas of the monitors there are now, for keepOnScreen.
std::vector<Rect> monitorWorkAreas();

}  // namespace gui

#endif  // PENDRA_GUI_WIN32_PROFILE_SETTINGS_H_
