// The window's settings: the INI file's place, its keys, and reading the
// values back safely (numbers clamped, the window kept on a screen). Qt
// reads and writes the file with QSettings(IniFormat), Win32 with
// Get/WritePrivateProfileString; both use these names and checks. Ini is a
// small reader/writer for files the core writes itself (the tray's state).
#ifndef PENDRA_GUI_SETTINGS_H_
#define PENDRA_GUI_SETTINGS_H_

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "gui/view_range.h"

namespace gui {

// Sections and keys: [window] x, y, width, height, maximized, view;
// [file] reminders. QSettings spells them "window/x", "file/reminders".
inline constexpr char kSectionWindow[] = "window";
inline constexpr char kKeyX[] = "x";
inline constexpr char kKeyY[] = "y";
inline constexpr char kKeyWidth[] = "width";
inline constexpr char kKeyHeight[] = "height";
inline constexpr char kKeyMaximized[] = "maximized";
inline constexpr char kKeyView[] = "view";
inline constexpr char kSectionFile[] = "file";
inline constexpr char kKeyReminders[] = "reminders";

// The window's size limits, in pixels.
constexpr int kMinWidth = 480;
constexpr int kMinHeight = 360;
constexpr int kMaxSize = 16384;

// A rectangle in screen pixels.
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect& other) const = default;
};

// The settings as the window uses them.
struct Settings {
  bool hasGeometry = false;  // false: let the toolkit place the window
  Rect geometry;
  bool maximized = false;
  View view = View::Window;
  std::string reminderFile;  // empty: pendcal searches for it (no -f)
};

// The settings file: Linux ${XDG_CONFIG_HOME:-~/.config}/pendra/pendra.ini
// (a relative XDG_CONFIG_HOME is ignored), Windows %APPDATA%\Pendra\pendra.ini.
// UTF-8; empty when neither variable nor home is known.
std::string settingsPath();

// An integer from text: decimal with an optional sign, surrounding blanks
// allowed, clamped to lo..hi; fallback for anything else.
int parseInt(std::string_view text, int fallback, int lo, int hi);
// "true"/"1"/"yes"/"on" and "false"/"0"/"no"/"off", any case; else fallback.
bool parseBool(std::string_view text, bool fallback);

// A window rectangle that can be seen: the size clamped to the minimum and
// to the largest screen; when less than a 100 x 50 pixel corner of its title
// area lies on a screen, it is moved onto the screen it overlaps most (or
// the first screen), inside it where it fits. No screens: as clamped.
Rect keepOnScreen(const Rect& saved, const std::vector<Rect>& screens);

// Looks a key up: the value and true, or false when it is not there.
using SettingLookup = bool (*)(void* context, const char* section, const char* key,
                               std::string* value);
// Reads every setting through lookup, each checked: a damaged value counts
// as missing. Geometry is taken only when all four numbers are there.
Settings readSettings(SettingLookup lookup, void* context);
// The values to write, as section, key, text.
struct SettingValue {
  const char* section;
  const char* key;
  std::string value;
};
std::vector<SettingValue> settingValues(const Settings& settings);

// A small INI text: "[section]" lines, "key=value" lines (blanks around
// both trimmed), ";" or "#" comment lines; keys before any section are in
// section "". Damaged lines are skipped. Written back in a fixed order.
class Ini {
 public:
  static Ini parse(std::string_view text);
  bool get(const std::string& section, const std::string& key, std::string* value) const;
  std::string value(const std::string& section, const std::string& key,
                    const std::string& fallback = std::string()) const;
  void set(const std::string& section, const std::string& key, const std::string& value);
  void remove(const std::string& section, const std::string& key);
  // "[section]\nkey=value\n..." with "\n" line ends, sections and keys sorted.
  std::string text() const;
  // For readSettings: context is a const Ini*.
  static bool lookup(void* context, const char* section, const char* key, std::string* value);

 private:
  std::map<std::string, std::map<std::string, std::string>> sections_;
};

}  // namespace gui

#endif  // PENDRA_GUI_SETTINGS_H_
