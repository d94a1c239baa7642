#include "gui/runner.h"

#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "gui/runner_platform.h"
#include "gui/safe_write.h"

namespace gui {

std::string enginePathIn(const std::string& directory) { return directory + engineFileName(); }

std::vector<std::string> engineArguments(const pendra::Date& date, int before, int after) {
  assert(date.month >= 1 && date.month <= 12);
  return {"-b",
          std::to_string(before),
          "-a",
          std::to_string(after),
          std::to_string(date.day),
          pendra::kMonthNames[date.month],
          std::to_string(date.year)};
}

std::vector<std::string> exportArguments(const pendra::Date& date, int before, int after) {
  std::vector<std::string> arguments = engineArguments(date, before, after);
  arguments.insert(arguments.begin(), "-i");
  return arguments;
}

std::vector<std::string> listingArguments(const pendra::Date& date, int before, int after,
                                          const std::string& file) {
  std::vector<std::string> arguments = {"-k", "-l"};
  if (!file.empty()) arguments.insert(arguments.end(), {"-f", file});
  for (std::string& word : engineArguments(date, before, after))
    arguments.push_back(std::move(word));
  return arguments;
}

std::vector<std::string> calendarArguments(const pendra::Date& date, int before, int after,
                                           const std::string& file) {
  std::vector<std::string> arguments = listingArguments(date, before, after, file);
  arguments[1] = "-i";
  return arguments;
}

namespace {

// One argument as the C runtime's command-line parser reads it back:
// backslashes count only before a quote, so those are doubled there.
std::string quotedArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

}  // namespace

std::string windowsCommandLine(const std::string& program,
                               const std::vector<std::string>& arguments) {
  std::string line = "\"" + program + "\"";
  for (const std::string& argument : arguments) {
    line += ' ';
    line += quotedArgument(argument);
  }
  return line;
}

std::chrono::milliseconds parseTimeLimit(const char* text) {
  if (text == nullptr || *text == '\0') return kDefaultTimeLimit;
  char* end = nullptr;
  double seconds = std::strtod(text, &end);
  // A day is more than anyone waits for a report; it also keeps the
  // conversion far from overflow.
  if (*end != '\0' || !(seconds > 0) || seconds > 86400) return kDefaultTimeLimit;
  return std::chrono::milliseconds(std::max<long long>(1, std::llround(seconds * 1000)));
}

std::chrono::milliseconds timeLimit() { return parseTimeLimit(std::getenv("PENDRA_TIMEOUT")); }

// ==== EngineJob

EngineJob::EngineJob(EngineRequest request) : request_(std::move(request)) {}

EngineJob::~EngineJob() = default;

void EngineJob::stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  stopRequested_ = true;
  killChild();
  changed_.notify_all();
}

void EngineJob::killChild() {
  // Once is enough; after waitChild() the child may be reaped at any moment.
  if (child_ != nullptr && !ended_ && !killed_) {
    gui::killChild(*child_);
    killed_ = true;
  }
}

void EngineJob::watch() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!changed_.wait_for(lock, request_.timeLimit, [this] { return ended_ || killed_; })) {
    timedOut_ = true;
    killChild();
  }
}

namespace {

// Appends what the stream gives to text, keeping at most cap bytes; past
// the cap it reads on and drops the rest when cut is null, else it stops
// and sets *cut. False when a read failed.
bool drain(ChildProcess& child, Stream stream, std::string& text, size_t cap, bool* cut) {
  char buffer[32768];
  for (;;) {
    long n = readChild(child, stream, buffer, sizeof buffer);
    if (n < 0) return false;
    if (n == 0) return true;
    size_t room = cap - text.size();
    if (static_cast<size_t>(n) > room) {
      text.append(buffer, room);
      if (cut != nullptr) {
        *cut = true;
        return true;
      }
    } else {
      text.append(buffer, static_cast<size_t>(n));
    }
  }
}

}  // namespace

EngineRun EngineJob::run() {
  EngineRun result;
  result.timeLimit = request_.timeLimit;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopRequested_) {
      result.ok = result.stopped = true;
      return result;
    }
  }
  ChildProcess* child = startChild(request_);
  if (child == nullptr) return result;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    child_ = child;
    if (stopRequested_) killChild();
  }
  std::thread watchdog([this] { watch(); });
  std::thread errorReader;
  bool errorsRead = true;
  if (request_.errorsApart) {
    errorReader = std::thread(
        [&] { errorsRead = drain(*child, Stream::kErrors, result.errors, kOutputCap, nullptr); });
  }

  result.ok = drain(*child, Stream::kOutput, result.output, request_.cap, &result.cut);
  if (result.cut || !result.ok) {
    // The rest of the report is unwanted: stop the engine rather than wait
    // for it to finish a long scan.
    std::lock_guard<std::mutex> lock(mutex_);
    killChild();
    changed_.notify_all();
  }
  closeStream(*child, Stream::kOutput);
  if (errorReader.joinable()) errorReader.join();
  result.ok = result.ok && errorsRead;
  waitChild(*child);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    changed_.notify_all();
  }
  watchdog.join();
  reapChild(*child, result);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    child_ = nullptr;
    result.stopped = stopRequested_;
    result.timedOut = timedOut_ && !stopRequested_;
  }
  freeChild(child);
  return result;
}

EngineRun runEngine(const EngineRequest& request) { return EngineJob(request).run(); }

EngineRun runEngine(const std::string& path, const std::vector<std::string>& arguments) {
  EngineRequest request;
  request.path = path;
  request.arguments = arguments;
  return runEngine(request);
}

// ==== List lines

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos)
      end = text.size();
    else if (end > start && text[end - 1] == '\r')
      --end;
    lines.emplace_back(text.substr(start, end - start));
    start = next;
  }
  return lines;
}

namespace {

// "10 s", "0.5 s", "2.25 s": seconds without trailing zeros.
std::string secondsText(std::chrono::milliseconds limit) {
  char text[32];
  long long ms = limit.count();
  if (ms % 1000 == 0) {
    std::snprintf(text, sizeof text, "%lld s", ms / 1000);
  } else {
    int length = std::snprintf(text, sizeof text, "%lld.%03lld", ms / 1000, ms % 1000);
    while (text[length - 1] == '0') text[--length] = '\0';
    std::snprintf(text + length, sizeof text - static_cast<size_t>(length), " s");
  }
  return text;
}

}  // namespace

std::string endingLine(const EngineRun& run) {
  if (!run.ok || run.cut) return std::string();
  if (run.timedOut)
    return "(pendcal stopped at the time limit of " + secondsText(run.timeLimit) + ")";
  if (run.signal != 0) return "(pendcal ended by signal " + std::to_string(run.signal) + ")";
  // Status 1 comes with its error report; without one it is more likely a
  // kill (Windows' task manager ends a process with 1).
  if (run.status == 0 || (run.status == 1 && !(run.output.empty() && run.errors.empty())))
    return std::string();
  // Windows gives a crash as an NTSTATUS code, which reads better in hex.
  char text[64];
  unsigned status = static_cast<unsigned>(run.status);
  std::snprintf(
      text, sizeof text,
      status > 255 ? "(pendcal exited with status 0x%08X)" : "(pendcal exited with status %u)",
      status);
  return text;
}

std::vector<std::string> listLines(const EngineRun& run, const std::string& path) {
  if (!run.ok) return {kEngineError, path};
  std::vector<std::string> lines = splitLines(run.output);
  if (run.cut) {
    lines.emplace_back(kOutputCut);
  } else if (std::string ending = endingLine(run); !ending.empty()) {
    lines.push_back(std::move(ending));
  }
  return lines;
}

bool exportSucceeded(const EngineRun& run) {
  static constexpr std::string_view kEnd = "END:VCALENDAR\r\n";
  bool whole = run.status == 0 ||
               (run.status == 1 && run.output.size() >= kEnd.size() &&
                run.output.compare(run.output.size() - kEnd.size(), kEnd.size(), kEnd) == 0);
  return run.ok && !run.cut && !run.timedOut && !run.stopped && run.signal == 0 && whole;
}

bool writeWholeFile(const std::string& path, std::string_view data) {
  return createFile(path, data, Existing::Replace).ok;
}

std::vector<std::string> finishExport(const EngineRun& run, const std::string& enginePath,
                                      const std::string& file) {
  if (!run.ok) return {kEngineError, enginePath};
  if (exportSucceeded(run)) {
    WriteResult written = createFile(file, run.output, Existing::Replace);
    if (written.ok) return {};
    return {"(cannot write " + file + ": " + written.reason + ")"};
  }
  std::vector<std::string> lines = splitLines(run.errors);
  if (run.cut) {
    lines.push_back("(calendar larger than " + std::to_string(kExportCap >> 20) + " MiB)");
  } else if (std::string ending = endingLine(run); !ending.empty()) {
    lines.push_back(std::move(ending));
  }
  lines.push_back("(nothing written to " + file + ")");
  return lines;
}

std::vector<std::string> updateLines(const std::string& path, const pendra::Date& date) {
  EngineRequest request;
  request.path = path;
  request.arguments = engineArguments(date, kDaysBefore, kDaysAfter);
  request.timeLimit = timeLimit();
  return listLines(runEngine(request), path);
}

}  // namespace gui
