#include "gui/notify_plan.h"

#include <algorithm>

#include "gui/safe_write.h"
#include "gui/settings.h"

namespace gui {

namespace {

// Keys go on one line each: backslash, line feed and carriage return escaped.
std::string escapeKey(const std::string& key) {
  std::string escaped;
  for (char c : key) {
    if (c == '\\')
      escaped += "\\\\";
    else if (c == '\n')
      escaped += "\\n";
    else if (c == '\r')
      escaped += "\\r";
    else
      escaped += c;
  }
  return escaped;
}

bool unescapeKey(std::string_view text, std::string* key) {
  key->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      *key += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    char c = text[i];
    if (c != '\\' && c != 'n' && c != 'r') return false;
    *key += c == 'n' ? '\n' : c == 'r' ? '\r' : '\\';
  }
  return true;
}

// A text on one line of a notification.
std::string oneLine(const std::string& text) {
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (text[i] == '\n') {
      if (i + 1 < text.size()) line += " / ";
      continue;
    }
    line += text[i];
  }
  return line;
}

// At most kMaxNotifyLines reminders, then "and N more", then the summary.
Notification withLines(std::string title, std::vector<std::string> lines,
                       const std::string& summary) {
  if (lines.size() > kMaxNotifyLines) {
    size_t more = lines.size() - kMaxNotifyLines;
    lines.resize(kMaxNotifyLines);
    lines.push_back("and " + std::to_string(more) + " more");
  }
  if (!summary.empty()) lines.push_back(summary);
  return Notification{std::move(title), std::move(lines)};
}

}  // namespace

std::string notifyStateText(const NotifyState& state) {
  std::string text = "[notified]\nday=" + isoDate(state.lastDay) + "\n[keys]\n";
  size_t n = 0;
  for (const std::string& key : state.keys) {
    text += 'k';
    text += std::to_string(++n);
    text += '=';
    text += escapeKey(key);
    text += '\n';
  }
  return text;
}

NotifyState parseNotifyState(std::string_view text) {
  NotifyState state;
  // Keys may hold blanks at either end, which Ini would trim: read lines.
  std::string section;
  bool haveDay = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (line.back() != ']') return NotifyState{};
      section = std::string(line.substr(1, line.size() - 2));
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return NotifyState{};
    std::string_view name = line.substr(0, equals), value = line.substr(equals + 1);
    if (section == "notified" && name == "day") {
      if (!parseIsoDate(value, &state.lastDay)) return NotifyState{};
      haveDay = true;
    } else if (section == "keys") {
      std::string key;
      if (name.size() < 2 || name.front() != 'k' || !unescapeKey(value, &key)) return NotifyState{};
      state.keys.insert(std::move(key));
    } else {
      return NotifyState{};
    }
  }
  if (!haveDay) return NotifyState{};
  state.valid = true;
  return state;
}

std::string reminderKey(const Occurrence& occurrence) {
  return occurrence.file + "\t" + std::to_string(occurrence.line) + "\t" +
         isoDate(occurrence.matched) + "\t" + occurrence.text;
}

Range notifyRange(const NotifyState& state, const pendra::Date& today) {
  Range range{pendra::Date::fromNumber(today.dayNumber()), 0, 0};
  if (state.valid) {
    int64_t missed = today.dayNumber() - state.lastDay.dayNumber() - 1;
    range.before = static_cast<int>(std::clamp<int64_t>(missed, 0, kCatchUpDays));
  }
  return range;
}

std::string problemSummary(const std::vector<Problem>& problems, const std::string& reminderFile) {
  if (problems.empty()) return std::string();
  // One failure of the engine itself says best what it was.
  if (problems.size() == 1 && problems[0].file.empty()) return problems[0].text;
  std::string name = fileNameOf(reminderFile);
  if (name.empty()) name = "the reminder file";
  return std::to_string(problems.size()) +
         (problems.size() == 1 ? " problem in " : " problems in ") + name;
}

std::string Notification::body() const {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

NotifyPlan planNotifications(const Listing& listing, const std::string& summary,
                             const NotifyState& state, const pendra::Date& today) {
  NotifyPlan plan;
  Range range = notifyRange(state, today);
  int64_t todayNumber = today.dayNumber();
  bool sameDay = state.valid && state.lastDay.sameDay(today);
  plan.next.valid = true;
  plan.next.lastDay = range.date;
  if (sameDay) plan.next.keys = state.keys;

  std::vector<std::string> missed, current;
  for (const Occurrence& occurrence : listing.occurrences) {
    int64_t scanned = occurrence.scanned.dayNumber();
    if (scanned < todayNumber && scanned >= todayNumber - range.before) {
      if (!occurrence.lookAhead())
        missed.push_back(shortDate(occurrence.scanned) + ": " + oneLine(occurrence.text));
    } else if (scanned == todayNumber && plan.next.keys.insert(reminderKey(occurrence)).second) {
      current.push_back(
          oneLine(itemText(occurrence.scanned, occurrence.matched, occurrence.text, today)));
    }
  }
  std::string problems;
  if (!summary.empty() && plan.next.keys.insert(summary).second) problems = summary;

  if (!missed.empty())
    plan.notifications.push_back(withLines(kCatchUpTitle, std::move(missed), std::string()));
  if (!current.empty() || !problems.empty())
    plan.notifications.push_back(withLines(windowDate(today), std::move(current), problems));
  return plan;
}

}  // namespace gui
