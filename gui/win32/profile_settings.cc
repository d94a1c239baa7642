#include "gui/win32/profile_settings.h"

#include <windows.h>

#include "gui/safe_write.h"
#include "gui/win32/wide.h"

namespace gui {

namespace {

bool lookupProfile(void* context, const char* section, const char* key, std::string* value) {
  const std::wstring& file = *static_cast<const std::wstring*>(context);
  // A value no key has: tells a missing key from an empty one.
  const wchar_t missing[] = L"\x1f";
  wchar_t buffer[4096];
  GetPrivateProfileStringW(widen(section).c_str(), widen(key).c_str(), missing, buffer,
                           sizeof buffer / sizeof buffer[0], file.c_str());
  if (wcscmp(buffer, missing) == 0) return false;
  *value = narrow(buffer);
  return true;
}

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcWork;
    reinterpret_cast<std::vector<Rect>*>(context)->push_back(
        {r.left, r.top, r.right - r.left, r.bottom - r.top});
  }
  return TRUE;
}

}  // namespace

Settings loadProfileSettings(const std::string& path) {
  if (path.empty()) return Settings();
  std::wstring file = widen(path);
  return readSettings(lookupProfile, &file);
}

bool saveProfileSettings(const std::string& path, const Settings& settings, std::string* reason) {
  if (path.empty()) {
    *reason = "no folder for the settings is known";
    return false;
  }
  if (!makeDirectories(parentDirectory(path), reason)) return false;
  std::wstring file = widen(path);
  for (const SettingValue& value : settingValues(settings)) {
    if (!WritePrivateProfileStringW(widen(value.section).c_str(), widen(value.key).c_str(),
                                    widen(value.value).c_str(), file.c_str())) {
      *reason = "cannot write " + path;
      return false;
    }
  }
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());  // flush the cache
  return true;
}

std::vector<Rect> monitorWorkAreas() {
  std::vector<Rect> screens;
  EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&screens));
  return screens;
}

}  // namespace gui
