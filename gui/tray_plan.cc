#include "gui/tray_plan.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "gui/date_label.h"

namespace gui {
namespace {

std::vector<std::string_view> splitAt(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

std::vector<std::string_view> lineViews(std::string_view text) {
  std::vector<std::string_view> lines = splitAt(text, '\n');
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  for (std::string_view& line : lines) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  }
  return lines;
}

// The listing's escapes: backslash, tab and line end.
std::string unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      char next = text[++i];
      out += next == 't' ? '\t' : next == 'n' ? '\n' : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c != '\r') {
      out += c;
    }
  }
  return out;
}

bool allDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "FILE(LINE): " at the start of a line.
bool startsWithPlace(std::string_view line) {
  for (size_t close = line.find("): "); close != std::string_view::npos;
       close = line.find("): ", close + 1)) {
    size_t open = line.rfind('(', close);
    if (open != std::string_view::npos && open > 0 &&
        allDigits(line.substr(open + 1, close - open - 1)))
      return true;
  }
  return false;
}

bool startsWith(std::string_view text, std::string_view head) {
  return text.substr(0, head.size()) == head;
}

std::string baseName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string oneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\t', ' ');
  return text;
}

void addCapped(Notification* note, const std::vector<std::string>& lines) {
  for (size_t i = 0; i < lines.size() && i < kNotifyLines; ++i) note->lines.push_back(lines[i]);
  if (lines.size() > kNotifyLines)
    note->lines.push_back("and " + std::to_string(lines.size() - kNotifyLines) + " more");
}

}  // namespace

std::string TrayItem::key() const {
  return escape(file) + '\t' + std::to_string(line) + '\t' + isoDate(matched) + '\t' + escape(text);
}

TrayListing parseTrayListing(std::string_view output) {
  TrayListing listing;
  for (std::string_view line : lineViews(output)) {
    std::vector<std::string_view> fields = splitAt(line, '\t');
    if (fields.size() == 2 && fields[0] == "file") {
      listing.files.emplace_back(fields[1]);
      continue;
    }
    TrayItem item;
    if (fields.size() != 5 || !parseIsoDate(fields[0], &item.scanned) ||
        !parseIsoDate(fields[1], &item.matched) || !allDigits(fields[3]))
      continue;
    item.file = std::string(fields[2]);
    item.line = std::atoi(std::string(fields[3]).c_str());
    item.text = unescape(fields[4]);
    listing.items.push_back(std::move(item));
  }
  return listing;
}

int countProblems(std::string_view errors) {
  int count = 0;
  for (std::string_view line : lineViews(errors)) {
    if (startsWithPlace(line) || startsWith(line, "pendcal: warning: ") ||
        startsWith(line, "fatal error: ") || startsWith(line, "warning: "))
      ++count;
  }
  return count;
}

std::string troubleLine(const EngineRun& run, const TrayListing& listing) {
  if (!run.ok) return kEngineError;
  if (run.cut) return kOutputCut;
  if (run.timedOut || run.signal != 0) return endingLine(run);
  if (run.status == 1 && startsWith(run.output, "usage: pendcal")) return "No reminder file found";
  if (int count = countProblems(run.errors); count > 0) {
    std::string name = listing.files.empty() ? "the reminder file" : baseName(listing.files[0]);
    return std::to_string(count) + (count == 1 ? " problem in " : " problems in ") + name;
  }
  if (run.status > 1) return endingLine(run);
  return std::string();
}

std::string shortDate(const pendra::Date& date, bool withYear) {
  uint8_t weekday = pendra::weekdayOf(date.day, date.month, date.year);
  std::string text = std::string(kLongWeekdayNames[weekday], 3) + ' ' + std::to_string(date.day) +
                     ' ' + std::string(kLongMonthNames[date.month], 3);
  if (withYear) text += ' ' + std::to_string(date.year);
  return text;
}

std::string isoDate(const pendra::Date& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02d-%02d", static_cast<unsigned>(date.year), date.month,
                date.day);
  return text;
}

bool parseIsoDate(std::string_view text, pendra::Date* date) {
  std::vector<std::string_view> parts = splitAt(text, '-');
  if (parts.size() != 3 || parts[0].size() < 4 || parts[0].size() > 5 || parts[1].size() != 2 ||
      parts[2].size() != 2 || !allDigits(parts[0]) || !allDigits(parts[1]) || !allDigits(parts[2]))
    return false;
  pendra::Date parsed(static_cast<uint8_t>(std::atoi(std::string(parts[2]).c_str())),
                      static_cast<uint8_t>(std::atoi(std::string(parts[1]).c_str())),
                      static_cast<uint32_t>(std::atoi(std::string(parts[0]).c_str())));
  if (parsed.year == 0 || !parsed.isValid()) return false;
  *date = parsed;
  return true;
}

std::string formatNotifyState(const NotifyState& state) {
  std::string text = "# pendra --tray: what was notified last\n";
  text += "day=" + isoDate(state.day) + '\n';
  text += "trouble=" + escape(state.trouble) + '\n';
  for (const std::string& key : state.keys) text += "key=" + escape(key) + '\n';
  return text;
}

NotifyState parseNotifyState(std::string_view text) {
  NotifyState state;
  bool haveDay = false;
  for (std::string_view line : lineViews(text)) {
    if (line.empty() || line[0] == '#') continue;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return NotifyState();
    std::string_view name = line.substr(0, equals), value = line.substr(equals + 1);
    if (name == "day") {
      if (haveDay || !parseIsoDate(value, &state.day)) return NotifyState();
      haveDay = true;
    } else if (name == "trouble") {
      state.trouble = unescape(value);
    } else if (name == "key") {
      state.keys.insert(unescape(value));
    }
  }
  state.valid = haveDay;
  return state;
}

int catchUpDays(const NotifyState& state, const pendra::Date& today) {
  if (!state.valid) return 0;
  int64_t missed = today.dayNumber() - state.day.dayNumber() - 1;
  return static_cast<int>(std::clamp<int64_t>(missed, 0, kCatchUpDays));
}

std::string Notification::body() const {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

NotifyPlan planNotifications(const TrayListing& listing, const std::string& trouble,
                             const NotifyState& state, const pendra::Date& today) {
  const int64_t todayNumber = today.dayNumber();
  const bool sameDay = state.valid && state.day.sameDay(today);
  const int64_t firstMissed = todayNumber - catchUpDays(state, today);

  NotifyPlan plan;
  plan.next.valid = true;
  plan.next.day = today;
  plan.next.trouble = trouble;
  if (sameDay) plan.next.keys = state.keys;

  std::vector<std::string> missed, todays;
  std::set<std::string> missedKeys;
  for (const TrayItem& item : listing.items) {
    int64_t scanned = item.scanned.dayNumber();
    if (scanned >= firstMissed && scanned < todayNumber && !item.lookAhead()) {
      if (missedKeys.insert(item.key()).second)
        missed.push_back(shortDate(item.matched, false) + ": " + oneLine(item.text));
    } else if (scanned == todayNumber && plan.next.keys.insert(item.key()).second) {
      std::string line = oneLine(item.text);
      todays.push_back(item.lookAhead() ? shortDate(item.matched, false) + ": " + line : line);
    }
  }

  if (!missed.empty()) {
    Notification catchUp{kCatchUpTitle, {}};
    addCapped(&catchUp, missed);
    plan.notifications.push_back(std::move(catchUp));
  }
  const bool newTrouble = !trouble.empty() && !(sameDay && trouble == state.trouble);
  if (!todays.empty() || newTrouble) {
    Notification note{shortDate(today), {}};
    addCapped(&note, todays);
    if (!trouble.empty()) note.lines.push_back(trouble);
    plan.notifications.push_back(std::move(note));
  }
  return plan;
}

}  // namespace gui
