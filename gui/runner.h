// Running the engine for the reminder window: where pendcal is, the command
// line it gets, the child process with its output on a pipe, and the list
// lines made from that output. No toolkit here; both dialogs use it.
#ifndef PENDRA_GUI_RUNNER_H_
#define PENDRA_GUI_RUNNER_H_

#include <cstddef>
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

// The first list line when the engine could not be run; the second is its path.
inline constexpr char kEngineError[] = "Error executing pendcal";
// The last list line when the output reached kOutputCap.
inline constexpr char kOutputCut[] = "(output cut after 1048576 bytes)";

// "pendcal.exe" on Windows, "pendcal" elsewhere.
const char* engineFileName();

// The absolute directory of the running executable, with its trailing
// separator. Empty when the system cannot tell.
std::string executableDirectory();

// directory + engineFileName(); directory ends with a separator or is empty.
std::string enginePathIn(const std::string& directory);
// The engine next to the running executable.
inline std::string enginePath() { return enginePathIn(executableDirectory()); }

// The engine's arguments after its name: "-b", before, "-a", after, the day,
// the three-letter month name and the year. REQUIRES: date.month in 1..12.
std::vector<std::string> engineArguments(const pendra::Date& date, int before, int after);

// A Windows command line: the program path in double quotes (so a path with
// spaces starts the right program), then each argument after one space.
// REQUIRES: the arguments hold no blanks or quotes (ours are numbers and
// month names); a Windows path never holds a quote.
std::string windowsCommandLine(const std::string& program,
                               const std::vector<std::string>& arguments);

// What one run of the engine gave.
struct EngineRun {
  bool ok = false;     // false: no pipe, the engine did not start, or a read failed
  std::string output;  // standard output and standard error, at most kOutputCap bytes
  bool cut = false;    // the engine wrote more than kOutputCap bytes
};

// Starts the program at path with the arguments (no shell, no search of
// PATH), its standard output and standard error on one pipe and its standard
// input on a pipe that gets no data and is closed at once. Reads until the
// program closes its output or kOutputCap bytes have arrived, then waits
// for the program to end so that none is left behind.
EngineRun runEngine(const std::string& path, const std::vector<std::string>& arguments);

// The lines of text, split at line feeds; a carriage return just before a
// line feed is dropped. A last line without a line feed counts; no text
// gives no lines.
std::vector<std::string> splitLines(std::string_view text);

// The list-box items for a run: its output lines (plus kOutputCut when it
// was cut), or kEngineError and the engine path when it failed.
std::vector<std::string> listLines(const EngineRun& run, const std::string& path);

// Update for one date: runs the engine at path for the usual window and
// returns the list-box items.
std::vector<std::string> updateLines(const std::string& path, const pendra::Date& date);

}  // namespace gui

#endif  // PENDRA_GUI_RUNNER_H_
