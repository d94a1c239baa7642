#include "engine/ical.h"

#include <algorithm>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unordered_map>
#include <unordered_set>

#include "common/bounds.h"
#include "engine/output.h"
#include "engine/platform.h"
#include "engine/settings.h"
#include "engine/specifier.h"
#include "scheme/host.h"

namespace engine {

namespace {

// Length of the well-formed UTF-8 sequence at p (at most left bytes long),
// 0 when there is none.
size_t utf8Length(const unsigned char* p, size_t left) {
  auto cont = [&](size_t i, unsigned lo, unsigned hi) {
    return i < left && p[i] >= lo && p[i] <= hi;
  };
  unsigned c = p[0];
  if (c >= 0xc2 && c <= 0xdf) return cont(1, 0x80, 0xbf) ? 2 : 0;
  if (c >= 0xe0 && c <= 0xef) {
    unsigned lo = c == 0xe0 ? 0xa0 : 0x80;  // no overlong forms
    unsigned hi = c == 0xed ? 0x9f : 0xbf;  // no surrogates
    return cont(1, lo, hi) && cont(2, 0x80, 0xbf) ? 3 : 0;
  }
  if (c >= 0xf0 && c <= 0xf4) {
    unsigned lo = c == 0xf0 ? 0x90 : 0x80;
    unsigned hi = c == 0xf4 ? 0x8f : 0xbf;
    return cont(1, lo, hi) && cont(2, 0x80, 0xbf) && cont(3, 0x80, 0xbf) ? 4 : 0;
  }
  return 0;
}

// "YYYYMMDD". REQUIRES: a year below 10000.
std::string dateValue(const pendra::Date& d) {
  char text[8];
  unsigned digits[8] = {d.year / 1000 % 10, d.year / 100 % 10, d.year / 10 % 10, d.year % 10u,
                        d.month / 10u,      d.month % 10u,     d.day / 10u,      d.day % 10u};
  for (int i = 0; i < 8; ++i) text[i] = static_cast<char>('0' + digits[i]);
  return std::string(text, 8);
}

// The UID's middle part: the entry's key, told apart from identical entries
// before it by their count, well mixed (splitmix64's finaliser).
uint64_t uidHash(uint64_t key, uint32_t twin) {
  uint64_t z = key + 0x9e3779b97f4a7c15u * (static_cast<uint64_t>(twin) + 1);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
  return z ^ (z >> 31);
}

// The calendar's content lines, buffered.
class CalendarLines {
 public:
  CalendarLines(std::FILE* out, std::string stamp) : out_(out), stamp_(std::move(stamp)) {}

  void begin(const char* calendarName) {
    line("BEGIN", "VCALENDAR");
    line("VERSION", "2.0");
    line("PRODID", "-//Pendra//pendcal 0.1//EN");
    line("CALSCALE", "GREGORIAN");
    line("X-WR-CALNAME", escapeText(calendarName));
  }

  // One all-day event, with an alarm count steps of step days (1 or 7)
  // before it when count > 0.
  // A text with nothing in it is summed up by where entry starts
  // ("pendra.pnd(12)").
  void event(const pendra::Date& date, const std::string& uid, const std::string& text,
             const Reminder& entry, int32_t count, int32_t step) {
    pendra::Date next = date;
    next.nextDay();
    // The text as printed ends with its line end; the first line that holds
    // more than blanks is the summary, and a text of several lines is the
    // description as well.
    std::string_view whole(text);
    if (!whole.empty() && whole.back() == '\n') whole.remove_suffix(1);
    std::string_view first = summaryLine(whole);
    std::string summary = first.empty()
                              ? escapeText(entry.file.substr(entry.file.find_last_of("/\\") + 1) +
                                           "(" + std::to_string(entry.line) + ")")
                              : escapeText(first);
    line("BEGIN", "VEVENT");
    line("UID", uid);
    line("DTSTAMP", stamp_);
    line("DTSTART;VALUE=DATE", dateValue(date));
    line("DTEND;VALUE=DATE", dateValue(next));
    line("SUMMARY", summary);
    if (whole.find_first_of("\r\n") != std::string_view::npos)
      line("DESCRIPTION", escapeText(whole));
    line("TRANSP", "TRANSPARENT");
    if (count > 0 && step > 0) {
      char trigger[32];
      if (step == 7) {
        std::snprintf(trigger, sizeof trigger, "-P%dW", static_cast<int>(count));
      } else {
        std::snprintf(trigger, sizeof trigger, "-P%" PRId64 "D",
                      static_cast<int64_t>(count) * step);
      }
      line("BEGIN", "VALARM");
      line("ACTION", "DISPLAY");
      line("DESCRIPTION", summary);
      line("TRIGGER", trigger);
      line("END", "VALARM");
    }
    line("END", "VEVENT");
    if (buffer_.size() >= kFlushSize) flush();
  }

  void end() {
    line("END", "VCALENDAR");
    flush();
  }

  void flush() {
    writeBytes(out_, buffer_.data(), buffer_.size());
    buffer_.clear();
  }

 private:
  static constexpr size_t kFlushSize = 1 << 16;
  void line(std::string_view name, std::string_view value) {
    appendContentLine(&buffer_, name, value);
  }

  std::FILE* out_;
  std::string stamp_;
  std::string buffer_;
};

}  // namespace

// ---- Content lines ----------------------------------------------------------

std::string escapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = p[i];
    if (c == '\r' || c == '\n') {
      out += "\\n";
      if (c == '\r' && i + 1 < n && p[i + 1] == '\n') ++i;
    } else if (c == '\\' || c == ';' || c == ',') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 ? c == '\t' : c != 0x7f && c < 0x80) {
      out += static_cast<char>(c);
    } else if (c >= 0x80) {
      if (size_t length = utf8Length(p + i, n - i)) {
        out.append(text.substr(i, length));
        i += length - 1;
      } else {
        out += static_cast<char>(0xc0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3f));
      }
    }
  }
  return out;
}

void appendContentLine(std::string* out, std::string_view name, std::string_view value) {
  // The first physical line holds 75 octets; each later one a space and 74.
  size_t limit = 75 - std::min<size_t>(name.size() + 1, 75);
  out->append(name).append(":");
  while (value.size() > limit) {
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xc0) == 0x80) --cut;
    // A name of 75 octets leaves no room on its line; the value starts on the next.
    out->append(value.substr(0, cut)).append("\r\n ");
    value.remove_prefix(cut);
    limit = 74;
  }
  out->append(value).append("\r\n");
}

// The last second of 9999, the last year a stamp can show.
constexpr int64_t kLastStamp = 253402300799;

std::string utcStamp(int64_t seconds) {
  seconds = std::clamp<int64_t>(seconds, 0, kLastStamp);
  static const int64_t kEpoch = pendra::Date(1, 1, 1970).dayNumber();
  int64_t day = kEpoch + seconds / 86400;
  int64_t inDay = seconds % 86400;
  pendra::Date d = pendra::Date::fromNumber(static_cast<int32_t>(day));
  char text[32];
  std::snprintf(text, sizeof text, "%sT%02d%02d%02dZ", dateValue(d).c_str(),
                static_cast<int>(inDay / 3600), static_cast<int>(inDay / 60 % 60),
                static_cast<int>(inDay % 60));
  return text;
}

int64_t stampSeconds() { return stampSetting(kLastStamp); }

std::string_view summaryLine(std::string_view text) {
  while (!text.empty()) {
    size_t end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    if (line.find_first_not_of(" \t") != std::string_view::npos) return line;
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return std::string_view();
}

// ---- The calendar -------------------------------------------------------------

namespace {

class CalendarWriter final : public OccurrenceWriter {
 public:
  explicit CalendarWriter(const RunInfo& run)
      : out_(run.out),
        name_(run.fileName.substr(run.fileName.find_last_of("/\\") + 1)),
        lines_(run.out, utcStamp(stampSeconds())) {}

  void begin(const std::vector<std::unique_ptr<Reminder>>& entries) override {
    std::unordered_map<uint64_t, uint32_t> twins;
    for (const auto& entry : entries) {
      uint64_t uid = uidHash(entry->sourceKey, twins[entry->sourceKey]++);
      states_.push_back(State{entry.get(), uid, states_.size()});
    }
    std::sort(states_.begin(), states_.end());
    setBinaryMode(out_);  // the lines end in CR LF as written
    lines_.begin(name_.c_str());
  }

  void occurrence(const Reminder& entry, const pendra::Date&,
                  const pendra::Date& matched) override {
    const Specifier& specifier = *entry.specifier;
    const State& state = *std::lower_bound(states_.begin(), states_.end(), State{&entry, 0, 0});
    int64_t eventDay = matched.dayNumber();
    // The days before an event announce it too, and not in date order (with
    // weeks, a day can announce an event after one it announces later).
    if (specifier.previousCount() > 0 &&
        !announced_.insert(state.place << 32 | static_cast<uint64_t>(eventDay)).second)
      return;
    // An iCalendar date has four digits of year, the event's end too.
    if (eventDay > kLastEventDay) return;
    pendra::Date occurrence = specifier.occurrence(matched);
    // Every text first: a field that fails (with -k) leaves out the whole
    // entry, not its later events.
    std::vector<StringPort> texts(entry.actions.size());
    for (size_t i = 0; i < entry.actions.size(); ++i)
      entry.actions[i]->write(texts[i], matched, occurrence, matched);
    int32_t number = 0;
    for (const StringPort& text : texts) {
      // "YYYYMMDD-<16 hex digits>-<action number>@pendcal".
      std::string uid = dateValue(matched) + "-";
      for (int shift = 60; shift >= 0; shift -= 4)
        uid += "0123456789abcdef"[(state.uid >> shift) & 15];
      uid.append("-").append(std::to_string(++number)).append("@pendcal");
      lines_.event(matched, uid, text.text, entry, specifier.previousCount(),
                   specifier.previousStep());
    }
  }

  void end() override { lines_.end(); }

 private:
  // Per entry: its UID hash and its place in the file, sorted by the
  // entry's address for the lookups of the scan.
  struct State {
    const Reminder* entry;
    uint64_t uid;
    uint64_t place;
    bool operator<(const State& other) const { return entry < other.entry; }
  };

  static inline const int64_t kLastEventDay =
      pendra::Date(30, 12, pendra::kLastCalendarYear).dayNumber();

  std::FILE* out_;
  std::string name_;
  CalendarLines lines_;
  std::vector<State> states_;
  // The events of look-ahead entries already written, as place << 32 | day.
  std::unordered_set<uint64_t> announced_;
};

}  // namespace

std::unique_ptr<OccurrenceWriter> makeCalendarWriter(const RunInfo& run) {
  return std::make_unique<CalendarWriter>(run);
}

}  // namespace engine
