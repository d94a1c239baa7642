// One check of the tray, shared by the Qt and Win32 trays: the pendcal run
// for today (with the missed days before it), and after it the
// notifications to send, the state saved first so that no day is notified
// twice, and the files to watch. No toolkit here.
#ifndef PENDRA_GUI_TRAY_CHECK_H_
#define PENDRA_GUI_TRAY_CHECK_H_

#include <cstdint>
#include <string>
#include <vector>

#include "common/date.h"
#include "gui/notify_plan.h"
#include "gui/runner.h"

namespace gui {

// The summary line when pendcal found no reminder file.
inline constexpr char kNoReminderFile[] = "No reminder file found";

// What a tray keeps between checks: the state this process last saved, in
// case the state file could not be written.
struct TrayMemory {
  NotifyState state;
};

// The state file's state, or the remembered one when that is later (the
// file is missing, damaged or could not be written).
NotifyState loadNotifyState(const TrayMemory& memory);

// pendcal's request for a check on today: -k -l, the reminder file of the
// settings when one is set, the missed days before today, no days after.
EngineRequest checkRequest(const std::string& enginePath, const TrayMemory& memory,
                           const pendra::Date& today);

// The state file's lock, PATH.lock beside it, held while this lives: two
// trays (two logins of one user) plan and save one after the other. The
// system drops it when the process dies. tray_lock-posix.cc (flock) and
// tray_lock-win32.cc (LockFileEx) implement it.
class StateLock {
 public:
  // Waits for the lock; locked() is false when the lock file cannot be made.
  explicit StateLock(const std::string& statePath);
  ~StateLock();
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;
  bool locked() const { return handle_ != kNone; }

 private:
  static constexpr intptr_t kNone = -1;
  intptr_t handle_ = kNone;  // a descriptor or a HANDLE
};

struct TrayOutcome {
  std::vector<Notification> notifications;  // in the order to send
  std::vector<std::string> files;           // the reminder file and its includes
  std::string saveError;                    // empty when the state was saved
};

// Reads the run, plans against the state as it is now, and saves the next
// state before returning, all under the StateLock: a crash while sending
// loses a notification rather than repeating one. A run that failed (not
// started, time limit, signal, cut, nothing read) gives its one-line notice
// and leaves the state alone.
TrayOutcome finishCheck(const EngineRun& run, const std::string& enginePath,
                        const pendra::Date& today, TrayMemory* memory);

// The line a tray logs after a check: "pendra --tray: 2026-12-08: 1 of 2
// notifications sent".
std::string checkLogLine(const pendra::Date& today, int sent, size_t planned);

}  // namespace gui

#endif  // PENDRA_GUI_TRAY_CHECK_H_
