// The tray's decision of what to notify: the days missed while the machine
// was off (at most seven back, once), today's reminders, only what is new
// when the same day is notified again, and a line for problems. The state
// that makes "never twice" hold across restarts is a small INI text.
#ifndef PENDRA_GUI_NOTIFY_PLAN_H_
#define PENDRA_GUI_NOTIFY_PLAN_H_

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/date.h"
#include "gui/listing.h"
#include "gui/view_range.h"

namespace gui {

// Missed days are caught up at most this far back.
constexpr int kCatchUpDays = 7;
// Reminder lines in one notification before "and N more".
constexpr size_t kMaxNotifyLines = 8;
// The catch-up notification's title.
inline constexpr char kCatchUpTitle[] = "While you were away";

// What has been notified.
struct NotifyState {
  bool valid = false;          // false: missing or damaged; notify today only
  pendra::Date lastDay;        // the last day notified
  std::set<std::string> keys;  // what was notified on lastDay (reminderKey, problem lines)
};

// "[notified]\nday=2026-12-08\n" then "[keys]" with one "kN=KEY" line per
// key; keys are escaped so that any text fits on one line.
std::string notifyStateText(const NotifyState& state);
// Any damage (no day, a bad date, a bad key line) gives an invalid state.
NotifyState parseNotifyState(std::string_view text);

// The state file: Linux ${XDG_STATE_HOME:-~/.local/state}/pendra/notified.ini
// (a relative XDG_STATE_HOME is ignored), Windows
// %LOCALAPPDATA%\Pendra\notified.ini. Empty when no home is known.
std::string notifyStatePath();

// A reminder's identity for "already notified": file, line, matched day and
// text, joined by tabs.
std::string reminderKey(const Occurrence& occurrence);

// The run that covers what may be notified: target today, before the missed
// days (at most kCatchUpDays; 0 for an invalid state or a last day not
// before today), after 0.
Range notifyRange(const NotifyState& state, const pendra::Date& today);

// "1 problem in pendra.pnd", "2 problems in pendra.pnd" (the file's name
// without its directory; "the reminder file" when none is given); a lone
// problem with no place (the engine failed: "Error executing pendcal", a
// time limit) gives its own text; "" for none.
std::string problemSummary(const std::vector<Problem>& problems, const std::string& reminderFile);

struct Notification {
  std::string title;               // kCatchUpTitle or windowDate(today)
  std::vector<std::string> lines;  // at most kMaxNotifyLines, "and N more", the summary
  std::string body() const;        // the lines joined with '\n'
};

struct NotifyPlan {
  std::vector<Notification> notifications;  // the catch-up first, then today's
  NotifyState next;                         // to save after sending
};

// What to send now. Catch-up: the own reminders of the days after the last
// notified day up to yesterday (at most kCatchUpDays back), one line each
// ("Mon 7 Dec: Text"); only with a valid state. Today: each own reminder
// and look-ahead announcement listed today ("Fri 11 Dec: Text" for those),
// and summary (problemSummary) as the last line when not empty; when today
// was notified before, only the lines whose keys are new. A text's line
// ends become " / ". Nothing new gives no notification.
NotifyPlan planNotifications(const Listing& listing, const std::string& summary,
                             const NotifyState& state, const pendra::Date& today);

}  // namespace gui

#endif  // PENDRA_GUI_NOTIFY_PLAN_H_
