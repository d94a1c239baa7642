#include "gui/settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>

namespace gui {

namespace {

std::string_view trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

std::string lowered(std::string_view text) {
  std::string lower;
  for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// The area two rectangles share, 0 when they do not meet.
int64_t overlap(const Rect& a, const Rect& b) {
  int64_t left = std::max<int64_t>(a.x, b.x);
  int64_t right = std::min<int64_t>(int64_t{a.x} + a.width, int64_t{b.x} + b.width);
  int64_t top = std::max<int64_t>(a.y, b.y);
  int64_t bottom = std::min<int64_t>(int64_t{a.y} + a.height, int64_t{b.y} + b.height);
  return right > left && bottom > top ? (right - left) * (bottom - top) : 0;
}

}  // namespace

int parseInt(std::string_view text, int fallback, int lo, int hi) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || end != text.data() + text.size()) return fallback;
  if (error == std::errc::result_out_of_range)
    value = text.front() == '-' ? LLONG_MIN : LLONG_MAX;
  else if (error != std::errc())
    return fallback;
  return static_cast<int>(std::clamp<long long>(value, lo, hi));
}

bool parseBool(std::string_view text, bool fallback) {
  std::string word = lowered(trim(text));
  if (word == "true" || word == "1" || word == "yes" || word == "on") return true;
  if (word == "false" || word == "0" || word == "no" || word == "off") return false;
  return fallback;
}

Rect keepOnScreen(const Rect& saved, const std::vector<Rect>& screens) {
  Rect rect = saved;
  int widest = kMaxSize, tallest = kMaxSize;
  if (!screens.empty()) {
    widest = tallest = 0;
    for (const Rect& screen : screens) {
      widest = std::max(widest, screen.width);
      tallest = std::max(tallest, screen.height);
    }
  }
  rect.width = std::clamp(rect.width, std::min(kMinWidth, widest), std::max(widest, 1));
  rect.height = std::clamp(rect.height, std::min(kMinHeight, tallest), std::max(tallest, 1));
  if (screens.empty()) return rect;
  // The top left of the title bar must be reachable with the mouse.
  Rect grip{rect.x, rect.y, std::min(rect.width, 100), 50};
  for (const Rect& screen : screens)
    if (overlap(grip, screen) == int64_t{grip.width} * grip.height) return rect;
  const Rect* best = &screens.front();
  for (const Rect& screen : screens)
    if (overlap(rect, screen) > overlap(rect, *best)) best = &screen;
  rect.width = std::min(rect.width, best->width);
  rect.height = std::min(rect.height, best->height);
  rect.x = std::clamp(rect.x, best->x, best->x + best->width - rect.width);
  rect.y = std::clamp(rect.y, best->y, best->y + best->height - rect.height);
  return rect;
}

Settings readSettings(SettingLookup lookup, void* context) {
  Settings settings;
  std::string text;
  const char* keys[4] = {kKeyX, kKeyY, kKeyWidth, kKeyHeight};
  int numbers[4];
  bool all = true;
  for (int i = 0; i < 4; ++i) {
    // Positions may be negative (a screen left of the main one); a size
    // below 1 is damage, not something to clamp.
    int lo = i < 2 ? -4 * kMaxSize : 1;
    numbers[i] = lookup(context, kSectionWindow, keys[i], &text)
                     ? parseInt(text, INT_MIN, INT_MIN + 1, INT_MAX)
                     : INT_MIN;
    if (numbers[i] < lo) all = false;
    numbers[i] = std::min(numbers[i], i < 2 ? 4 * kMaxSize : kMaxSize);
  }
  if (all) {
    settings.hasGeometry = true;
    settings.geometry = Rect{numbers[0], numbers[1], numbers[2], numbers[3]};
  }
  if (lookup(context, kSectionWindow, kKeyMaximized, &text))
    settings.maximized = parseBool(text, false);
  if (lookup(context, kSectionWindow, kKeyView, &text)) parseViewName(trim(text), &settings.view);
  if (lookup(context, kSectionFile, kKeyReminders, &text)) settings.reminderFile = trim(text);
  return settings;
}

std::vector<SettingValue> settingValues(const Settings& settings) {
  std::vector<SettingValue> values;
  if (settings.hasGeometry) {
    values.push_back({kSectionWindow, kKeyX, std::to_string(settings.geometry.x)});
    values.push_back({kSectionWindow, kKeyY, std::to_string(settings.geometry.y)});
    values.push_back({kSectionWindow, kKeyWidth, std::to_string(settings.geometry.width)});
    values.push_back({kSectionWindow, kKeyHeight, std::to_string(settings.geometry.height)});
  }
  values.push_back({kSectionWindow, kKeyMaximized, settings.maximized ? "true" : "false"});
  values.push_back({kSectionWindow, kKeyView, viewName(settings.view)});
  values.push_back({kSectionFile, kKeyReminders, settings.reminderFile});
  return values;
}

Ini Ini::parse(std::string_view text) {
  Ini ini;
  std::string section;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line.back() == ']') section = trim(line.substr(1, line.size() - 2));
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0) continue;
    ini.sections_[section][std::string(trim(line.substr(0, equals)))] =
        std::string(trim(line.substr(equals + 1)));
  }
  return ini;
}

bool Ini::get(const std::string& section, const std::string& key, std::string* value) const {
  auto s = sections_.find(section);
  if (s == sections_.end()) return false;
  auto k = s->second.find(key);
  if (k == s->second.end()) return false;
  *value = k->second;
  return true;
}

std::string Ini::value(const std::string& section, const std::string& key,
                       const std::string& fallback) const {
  std::string found;
  return get(section, key, &found) ? found : fallback;
}

void Ini::set(const std::string& section, const std::string& key, const std::string& value) {
  sections_[section][key] = value;
}

void Ini::remove(const std::string& section, const std::string& key) {
  auto s = sections_.find(section);
  if (s == sections_.end()) return;
  s->second.erase(key);
  if (s->second.empty()) sections_.erase(s);
}

std::string Ini::text() const {
  std::string text;
  for (const auto& [section, keys] : sections_) {
    if (!section.empty()) text += "[" + section + "]\n";
    for (const auto& [key, value] : keys) text += key + "=" + value + "\n";
  }
  return text;
}

bool Ini::lookup(void* context, const char* section, const char* key, std::string* value) {
  return static_cast<const Ini*>(context)->get(section, key, value);
}

}  // namespace gui
