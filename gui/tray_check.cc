#include "gui/tray_check.h"

#include "gui/listing.h"
#include "gui/safe_write.h"
#include "gui/settings.h"
#include "gui/view_range.h"

namespace gui {
namespace {

std::string configuredReminderFile() {
  std::string text, reason;
  FileStamp stamp;
  const std::string path = settingsPath();
  if (path.empty() || !readFile(path, &text, &stamp, &reason)) return std::string();
  const Ini ini = Ini::parse(text);
  return readSettings(&Ini::lookup, const_cast<Ini*>(&ini)).reminderFile;
}

// Whether the run read the whole window: it ended by itself, with the
// status of a report (1 is problems under -k), and read at least the file.
bool readItAll(const EngineRun& run, const ListingResult& result) {
  return run.ok && !run.timedOut && !run.cut && !run.stopped && run.signal == 0 &&
         (run.status == 0 || run.status == 1) && !result.listing.files.empty();
}

}  // namespace

NotifyState loadNotifyState(const TrayMemory& memory) {
  NotifyState state;
  std::string text, reason;
  FileStamp stamp;
  const std::string path = notifyStatePath();
  if (!path.empty() && readFile(path, &text, &stamp, &reason)) state = parseNotifyState(text);
  if (memory.state.valid &&
      (!state.valid || state.lastDay.dayNumber() < memory.state.lastDay.dayNumber()))
    return memory.state;
  return state;
}

EngineRequest checkRequest(const std::string& enginePath, const TrayMemory& memory,
                           const pendra::Date& today) {
  const Range range = notifyRange(loadNotifyState(memory), today);
  EngineRequest request;
  request.path = enginePath;
  request.arguments =
      listingArguments(range.date, range.before, range.after, configuredReminderFile());
  request.timeLimit = timeLimit();
  request.errorsApart = true;
  return request;
}

TrayOutcome finishCheck(const EngineRun& run, const std::string& enginePath,
                        const pendra::Date& today, TrayMemory* memory) {
  const ListingResult result = readListingRun(run, enginePath);
  const std::vector<std::string>& files = result.listing.files;
  const std::string summary = result.noReminderFile
                                  ? std::string(kNoReminderFile)
                                  : problemSummary(result.problems, files.empty() ? "" : files[0]);

  TrayOutcome outcome;
  outcome.files = files;
  // A failed run says nothing of what falls due: it is notified alone and
  // the state stays, so that the next good run still covers these days.
  if (!result.noReminderFile && !readItAll(run, result)) {
    outcome.notifications.push_back(Notification{windowDate(today), {summary}});
    return outcome;
  }
  const std::string path = notifyStatePath();
  std::string reason;
  if (path.empty()) {
    outcome.saveError = "no home folder";
  } else if (!makeDirectories(parentDirectory(path), &reason)) {
    outcome.saveError = path + ": " + reason;
  }
  const StateLock lock(outcome.saveError.empty() ? path : std::string());
  NotifyPlan plan = planNotifications(result.listing, summary, loadNotifyState(*memory), today);
  memory->state = plan.next;
  // Without a file, the memory still keeps this process from repeating.
  if (outcome.saveError.empty()) {
    if (WriteResult written = createFile(path, notifyStateText(plan.next)); !written.ok)
      outcome.saveError = path + ": " + written.reason;
  }
  outcome.notifications = std::move(plan.notifications);
  return outcome;
}

std::string checkLogLine(const pendra::Date& today, int sent, size_t planned) {
  return "pendra --tray: " + isoDate(today) + ": " + std::to_string(sent) + " of " +
         std::to_string(planned) + " notifications sent";
}

}  // namespace gui
