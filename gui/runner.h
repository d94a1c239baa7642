// Running the engine for the reminder window: where pendcal is, the command
// line it gets, the child process with its output on a pipe, and the list
// lines made from that output. No toolkit here; both dialogs use it.
#ifndef PENDRA_GUI_RUNNER_H_
#define PENDRA_GUI_RUNNER_H_

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "common/date.h"

namespace gui {

// The window around the picked date that every Update asks for.
constexpr int kDaysBefore = 7;
constexpr int kDaysAfter = 14;

// Output past this many bytes is not read; the list says it was cut.
constexpr size_t kOutputCap = 1 << 20;
// An exported calendar may be larger than a report; past this it is refused.
constexpr size_t kExportCap = 64 << 20;

// A run that has not ended after this long is stopped, unless the
// environment variable PENDRA_TIMEOUT gives another number of seconds.
constexpr std::chrono::milliseconds kDefaultTimeLimit{10000};

// The first list line when the engine could not be run; the second is its path.
inline constexpr char kEngineError[] = "Error executing pendcal";
// The last list line when the output reached kOutputCap.
inline constexpr char kOutputCut[] = "(output cut after 1048576 bytes)";

// "pendcal.exe" on Windows, "pendcal" elsewhere.
const char* engineFileName();

// The absolute directory of the running executable, with its trailing
// separator, in UTF-8. Empty when the system cannot tell.
std::string executableDirectory();

// directory + engineFileName(); directory ends with a separator or is empty.
std::string enginePathIn(const std::string& directory);
// The engine next to the running executable.
inline std::string enginePath() { return enginePathIn(executableDirectory()); }

// The engine's arguments after its name: "-b", before, "-a", after, the day,
// the three-letter month name and the year. REQUIRES: date.month in 1..12.
std::vector<std::string> engineArguments(const pendra::Date& date, int before, int after);
// The same window as an iCalendar object: "-i" and then the above.
std::vector<std::string> exportArguments(const pendra::Date& date, int before, int after);

// What the windows run: the listing with problems kept apart,
// "-k", "-l", then "-f" and file when file is not empty, then the above.
std::vector<std::string> listingArguments(const pendra::Date& date, int before, int after,
                                          const std::string& file);
// An export of the same: "-k", "-i", then "-f" file when given, then the above.
std::vector<std::string> calendarArguments(const pendra::Date& date, int before, int after,
                                           const std::string& file);

// A Windows command line: the program path in double quotes (so a path with
// spaces starts the right program), then each argument after one space; an
// argument that is empty or holds a blank, a tab or a quote is quoted the
// way the C runtime reads it back (a file name after -f). A Windows path
// never holds a quote.
std::string windowsCommandLine(const std::string& program,
                               const std::vector<std::string>& arguments);

// The time limit from the text of PENDRA_TIMEOUT: a positive number of
// seconds, fractions allowed; anything else (or no text) gives the default.
std::chrono::milliseconds parseTimeLimit(const char* text);
// parseTimeLimit(getenv("PENDRA_TIMEOUT")).
std::chrono::milliseconds timeLimit();

// What one run of the engine gave.
struct EngineRun {
  bool ok = false;        // false: no pipe, the engine did not start, or a read failed
  std::string output;     // standard output, and standard error unless kept apart
  std::string errors;     // standard error when kept apart (at most kOutputCap bytes)
  bool cut = false;       // the engine wrote more than the cap; it was stopped
  bool timedOut = false;  // it ran past the time limit and was stopped
  bool stopped = false;   // EngineJob::stop() ended it
  int status = 0;         // the exit status (Windows: the exit code), when signal is 0
  int signal = 0;         // POSIX: the signal that ended it
  std::chrono::milliseconds timeLimit{0};  // the limit the run had
};

// How to run the engine once.
struct EngineRequest {
  std::string path;                    // UTF-8; no shell, no search of PATH
  std::vector<std::string> arguments;  // UTF-8
  std::chrono::milliseconds timeLimit = kDefaultTimeLimit;
  size_t cap = kOutputCap;   // bytes of standard output kept
  bool errorsApart = false;  // standard error into EngineRun::errors
};

struct ChildProcess;  // the platform's process and pipe handles

// One run of the engine that another thread can stop. run() starts the
// program with its standard output and standard error on pipes (one pipe
// unless errorsApart) and its standard input on a pipe that is closed at
// once, reads until the program closes its output, stops it (and on POSIX
// its process group) when the cap is reached, the time limit passes or
// stop() is called, and always waits for it, so none is left behind.
class EngineJob {
 public:
  explicit EngineJob(EngineRequest request);
  ~EngineJob();
  EngineJob(const EngineJob&) = delete;
  EngineJob& operator=(const EngineJob&) = delete;

  // Blocks until the engine has ended and been waited for. Call once.
  EngineRun run();

  // From any thread, before, during or after run(): the engine is stopped
  // (or never started) and run() returns soon with stopped set.
  void stop();

 private:
  // Kills the child once, if it runs and has not been waited for yet.
  void killChild();
  void watch();  // the time limit, on its own thread

  EngineRequest request_;
  std::mutex mutex_;  // guards everything below
  std::condition_variable changed_;
  ChildProcess* child_ = nullptr;  // set from start to reap; run() owns it
  bool stopRequested_ = false;
  bool timedOut_ = false;
  bool killed_ = false;  // killChild() has been called on the child
  bool ended_ = false;   // the child has exited
};

// The blocking run of one request, as EngineJob::run() does it.
EngineRun runEngine(const EngineRequest& request);
// With the defaults of EngineRequest: one pipe, kOutputCap, the default limit.
EngineRun runEngine(const std::string& path, const std::vector<std::string>& arguments);

// The lines of text, split at line feeds; a carriage return just before a
// line feed is dropped. A last line without a line feed counts; no text
// gives no lines.
std::vector<std::string> splitLines(std::string_view text);

// The line that says how a run ended when that is not its own report:
// the time limit, a signal, an exit status other than 0, or 1 with no
// output at all. Empty for exit 0, exit 1 with its error report, a cut
// output (kOutputCut says that) and a failed start.
std::string endingLine(const EngineRun& run);

// The list-box items for a run: kEngineError and the engine path when it
// could not be run; else its output lines, then kOutputCut when the output
// was cut, or endingLine() when it has one.
std::vector<std::string> listLines(const EngineRun& run, const std::string& path);

// True when an export run gave a whole calendar: nothing cut, not stopped,
// not timed out, and exit status 0 — or 1 (problems reported with -k) with
// the calendar's last line written.
bool exportSucceeded(const EngineRun& run);

// Finishes an export run: writes its output to file (UTF-8 path) when it
// succeeded and returns no lines; else returns the list-box items that say
// why nothing was written: kEngineError and the engine path when it could
// not be run, or what it wrote to standard error, how it ended, and a
// last line naming the file.
std::vector<std::string> finishExport(const EngineRun& run, const std::string& enginePath,
                                      const std::string& file);

// Writes data to the file at path (UTF-8), replacing it, in binary: a new
// file beside it, flushed, renamed over it, so a failure leaves the old one.
bool writeWholeFile(const std::string& path, std::string_view data);

// Update for one date, blocking: runs the engine at path for the usual
// window and returns the list-box items.
std::vector<std::string> updateLines(const std::string& path, const pendra::Date& date);

}  // namespace gui

#endif  // PENDRA_GUI_RUNNER_H_
