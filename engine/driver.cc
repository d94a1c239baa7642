#include "engine/driver.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "engine/diagnostics.h"
#include "engine/engine.h"
#include "engine/error.h"
#include "engine/ical.h"
#include "engine/reminder.h"
#include "engine/reminder_reader.h"
#include "engine/scan_index.h"
#include "scheme/interpreter.h"

namespace engine {

namespace {

// Standard output through a buffer of our own: the report can run to
// hundreds of thousands of lines, and everything printed (reports, Scheme
// output, error reports) must stay in order on the one stream.
class StdoutPort final : public scheme::OutputPort {
 public:
  explicit StdoutPort(std::FILE* file) : file_(file) {}

  void putChar(char16_t c) override {
    if (capturing()) {
      capture_->push_back(static_cast<char>(c));
      return;
    }
    if (used_ == kSize) flush();
    buffer_[used_++] = static_cast<char>(c);
  }
  void putText(const char* text) override { write(text, std::strlen(text)); }
  void putUnits(const char16_t* units, int32_t count) override {
    for (int32_t i = 0; i < count; ++i) putChar(units[i]);
  }

  void write(const char* bytes, size_t count) {
    if (capturing()) {
      capture_->append(bytes, count);
      return;
    }
    if (count > kSize - used_) {
      flush();
      if (count > kSize) {
        std::fwrite(bytes, 1, count, file_);
        if (file_ == stderr) midLine_ = bytes[count - 1] != '\n';
        return;
      }
    }
    std::memcpy(buffer_ + used_, bytes, count);
    used_ += count;
  }
  // Hands the buffer to the stream, so that direct writes to it come after.
  void flush() {
    if (used_ > 0) {
      std::fwrite(buffer_, 1, used_, file_);
      if (file_ == stderr) midLine_ = buffer_[used_ - 1] != '\n';
    }
    used_ = 0;
  }
  // Flushes; when what was written to standard error ends inside a line and
  // out is standard error, ends that line, so that what out gets next
  // starts at the line's beginning.
  void endLineBefore(std::FILE* out) {
    flush();
    if (out == stderr && midLine_) std::fputc('\n', out);
    if (out == stderr) midLine_ = false;
  }
  std::FILE* file() const { return file_; }
  void setFile(std::FILE* file) {
    flush();
    file_ = file;
  }
  // From now on in's error reports go to *report instead (-k), so that
  // they can be told apart and placed.
  void captureReports(std::string* report, const scheme::Interpreter* in) {
    capture_ = report;
    in_ = in;
  }

 private:
  bool capturing() const { return capture_ != nullptr && in_->reportingError(); }

  std::string* capture_ = nullptr;
  const scheme::Interpreter* in_ = nullptr;
  bool midLine_ = false;  // the last byte handed to standard error was not a line end
  static constexpr size_t kSize = 1 << 16;
  std::FILE* file_;
  size_t used_ = 0;
  char buffer_[kSize];
};

StdoutPort* gPort = nullptr;

// Made once and never destroyed: everything the run builds may refer to them.
EngineHooks* gHooks = nullptr;
scheme::Interpreter* gInterpreter = nullptr;
ReminderReader* gReader = nullptr;
ReminderReader* gCurrentReader = nullptr;
std::string gFileName;  // of the main reminder file
scheme::Value gWeekdaySymbols[8];

constexpr int32_t kMaxEntries = 1024;

// With -k: what onError throws once a Scheme error report is complete; the
// report is in gReport.
struct SchemeAbort {};
std::string gReport;

// Prints the captured Scheme error report on the message stream, its first
// line placed at file and line.
void reportSchemeError(const char* file, int32_t line) {
  std::FILE* out = messageStream();
  gPort->endLineBefore(out);
  if (file != nullptr) std::fprintf(out, "%s(%d): ", file, static_cast<int>(line));
  std::fwrite(gReport.data(), 1, gReport.size(), out);
  gReport.clear();
  countProblem();
}

// Reads entries until the input ends, 1024 are held or a fatal error.
void readEntries(ReminderReader& reader, std::vector<std::unique_ptr<Reminder>>* entries) {
  while (static_cast<int32_t>(entries->size()) < kMaxEntries) {
    try {
      std::unique_ptr<Reminder> entry = readEntry(reader);
      if (!entry) return;
      entries->push_back(std::move(entry));
    } catch (const PDErrorType&) {
      gPort->endLineBefore(keepGoing() ? messageStream() : nullptr);
      if (reportError(gPort->file())) return;
    } catch (const SchemeAbort&) {
      // Between entries: the expression's effects so far stay, and reading
      // goes on after it.
      reportSchemeError(reader.expressionFile().c_str(), reader.expressionLine());
    }
  }
  const char* file = nullptr;
  int32_t line = 0;
  if (reader.hasMoreInput(&file, &line)) {
    try {
      raiseError("too many entries: only the first 1024 are used", file, line, 1);
    } catch (const PDErrorType&) {
      gPort->endLineBefore(keepGoing() ? messageStream() : nullptr);
      reportError(gPort->file());
    }
  }
}

// "  ---today---  : " or "thu  7 jul 2005: ".
void formatHeader(const pendra::Date& day, const pendra::Date& today, char* text, size_t size) {
  if (day.sameDay(today)) {
    std::snprintf(text, size, "  ---today---  : ");
  } else {
    std::snprintf(text, size, "%s %2d %s %d: ", pendra::kWeekdayNames[day.weekday], day.day,
                  pendra::kMonthNames[day.month], static_cast<int>(day.year));
  }
}

// Text written by actions, to be printed only once complete.
class TextPort final : public scheme::OutputPort {
 public:
  void putChar(char16_t c) override { text.push_back(static_cast<char>(c)); }
  void putText(const char* t) override { text += t; }
  void putUnits(const char16_t* units, int32_t count) override {
    for (int32_t i = 0; i < count; ++i) text.push_back(static_cast<char>(units[i]));
  }
  std::string text;
};

// The scan of -k: an entry whose Scheme procedure fails is reported once at
// its place and left out from then on; the others go on. Each entry's lines
// are printed only once all its fields are filled. With print false nothing
// is printed but the errors (the check before the calendar is written).
void scanKeepingGoing(ScanIndex& index, int64_t first, int64_t last, const pendra::Date& today,
                      bool headers, bool print, std::set<const Reminder*>* leftOut) {
  TextPort text;
  std::vector<const Reminder*> done;  // today's, already printed
  for (int64_t n = first; n <= last; ++n) {
    pendra::Date current = pendra::Date::fromNumber(n);
    char header[64] = "";
    if (headers) formatHeader(current, today, header, sizeof header);
    done.clear();
    for (;;) {
      const Reminder* performing = nullptr;
      try {
        index.forEachMatch(current, [&](const Reminder& entry, const pendra::Date& matched) {
          if (std::find(done.begin(), done.end(), &entry) != done.end()) return;
          performing = &entry;
          pendra::Date occurrence = entry.specifier->occurrence(current);
          text.text.clear();
          for (const auto& action : entry.actions) {
            if (headers) text.putText(header);
            action->write(text, current, occurrence, matched);
          }
          performing = nullptr;
          done.push_back(&entry);
          if (print) gPort->write(text.text.data(), text.text.size());
        });
        break;
      } catch (const SchemeAbort&) {
        const Reminder* culprit = performing != nullptr ? performing : index.asking();
        reportSchemeError(culprit != nullptr ? culprit->file : nullptr,
                          culprit != nullptr ? culprit->line : 0);
        if (culprit == nullptr) break;
        index.leaveOut(culprit);
        leftOut->insert(culprit);
      }
    }
  }
}

}  // namespace

void EngineHooks::onError() {
  if (keepGoing()) throw SchemeAbort();
  if (gPort != nullptr) gPort->flush();
  std::fflush(stdout);
  std::exit(1);
}

bool EngineHooks::writeForeign(scheme::OutputPort& port, scheme::Value v) {
  if (!v.isHost()) return false;
  pendra::Date d = pendra::unpackDate(v.hostWord());
  const char* month = d.month >= 1 && d.month <= 12 ? pendra::kMonthNames[d.month] : "?";
  char text[128];
  std::snprintf(text, sizeof text, "#<date: %d %s %d>", d.day, month, static_cast<int>(d.year));
  port.putText(text);
  return true;
}

bool EngineHooks::displayForeign(scheme::OutputPort&, scheme::Value) { return false; }

scheme::Interpreter& interpreter() {
  assert(gInterpreter != nullptr);
  return *gInterpreter;
}

ReminderReader* currentReader() { return gCurrentReader; }
void setCurrentReader(ReminderReader* reader) { gCurrentReader = reader; }

scheme::Value weekdaySymbol(int weekday) {
  assert(weekday >= 1 && weekday <= 7);
  return gWeekdaySymbols[weekday];
}

void useInterpreter(scheme::Interpreter& in) {
  gInterpreter = &in;
  static const char* const kNames[8] = {"",          "sunday",   "monday", "tuesday",
                                        "wednesday", "thursday", "friday", "saturday"};
  for (int w = 1; w <= 7; ++w) gWeekdaySymbols[w] = in.internName(kNames[w]);
  resetKeywordTable(in.unspecified());
}

namespace {

// The interpreter's heap limit from PENDCAL_HEAP_MB, a whole number of MiB;
// without it, or when it is not a positive number, the interpreter's own.
void setHeapLimit(scheme::Interpreter& in) {
  const char* text = std::getenv("PENDCAL_HEAP_MB");
  if (text == nullptr || *text == '\0') return;
  char* end = nullptr;
  unsigned long long mb = std::strtoull(text, &end, 10);
  if (*end != '\0' || mb == 0 || text[0] == '-') return;
  constexpr unsigned long long kMaxMb = SIZE_MAX >> 20;
  in.setHeapLimit(static_cast<size_t>(mb < kMaxMb ? mb : kMaxMb) << 20);
}

// Any allocation that fails ends the run with the interpreter's report.
void outOfMemory() {
  if (gInterpreter != nullptr) gInterpreter->outOfMemory();
  std::set_new_handler(nullptr);  // before the interpreter exists: bad_alloc
}

}  // namespace

void engineStartUp() {
  gPort = new StdoutPort(stdout);
  gHooks = new EngineHooks();
  auto* in = new scheme::Interpreter(*gPort, *gHooks);
  setHeapLimit(*in);
  useInterpreter(*in);
  std::set_new_handler(outOfMemory);
}

void startKeepingGoing() {
  setKeepGoing(true);
  setMessageStream(stderr, [] { gPort->endLineBefore(stderr); });
  gPort->captureReports(&gReport, gInterpreter);
  // The file and line say where to look; the innermost frames say enough.
  gInterpreter->setBacktraceLimit(5);
}

void createReader(const char* fileName, std::FILE* file) {
  gFileName = fileName;
  gReader = new ReminderReader(interpreter(), std::make_unique<InputFile>(fileName, file));
  gCurrentReader = gReader;
}

int runReminders(pendra::Date today, pendra::Date target, int before, int after, bool calendar) {
  if (calendar || keepGoing()) gPort->setFile(stderr);
  std::vector<std::unique_ptr<Reminder>> entries;
  entries.reserve(kMaxEntries);
  readEntries(*gReader, &entries);
  // A procedure run during the scan has no file to include into.
  gCurrentReader = nullptr;

  // Days from 1 January 1800 up to the last day a date value can hold; a
  // window that ends before it starts prints nothing.
  const int64_t kLastDay = pendra::Date(31, 12, 65535).dayNumber();
  int64_t center = target.dayNumber();
  int64_t first = std::max<int64_t>(center - before, 0);
  int64_t last = std::min<int64_t>(center + after, kLastDay);
  bool headers = before != 0 || after != 0;

  if (keepGoing() && !calendar) {
    gPort->setFile(stdout);
    ScanIndex index(entries);
    std::set<const Reminder*> leftOut;
    scanKeepingGoing(index, first, last, today, headers, true, &leftOut);
    gReader->closeInputs();
    gPort->flush();
    return 0;
  }

  if (calendar) {
    if (keepGoing()) {
      // Find the entries whose procedures fail, and leave them out of the
      // calendar; they stay allocated, as everything the run made.
      ScanIndex check(entries);
      std::set<const Reminder*> leftOut;
      scanKeepingGoing(check, first, last, today, headers, false, &leftOut);
      static std::vector<std::unique_ptr<Reminder>> failed;
      for (auto& entry : entries) {
        if (leftOut.count(entry.get()) != 0) failed.push_back(std::move(entry));
      }
      entries.erase(std::remove(entries.begin(), entries.end(), nullptr), entries.end());
    }
    std::string name = gFileName.substr(gFileName.find_last_of("/\\") + 1);
    writeCalendar(entries, first, last, name.c_str(), stdout);
    gReader->closeInputs();
    gPort->flush();
    return 0;
  }

  ScanIndex index(entries);
  for (int64_t n = first; n <= last; ++n) {
    pendra::Date current = pendra::Date::fromNumber(n);
    char header[64];
    bool haveHeader = false;
    index.forEachMatch(current, [&](const Reminder& entry, const pendra::Date& matched) {
      pendra::Date occurrence = entry.specifier->occurrence(current);
      for (const auto& action : entry.actions) {
        if (headers) {
          if (!haveHeader) formatHeader(current, today, header, sizeof header);
          haveHeader = true;
          gPort->putText(header);
        }
        action->perform(current, occurrence, matched);
      }
    });
  }

  gReader->closeInputs();
  gPort->flush();
  return 0;
}

}  // namespace engine
