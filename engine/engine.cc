#include "engine/engine.h"

#include <cassert>
#include <cstdlib>
#include <new>

#include "common/bounds.h"
#include "engine/diagnostics.h"
#include "engine/error.h"
#include "engine/output.h"
#include "engine/reminder.h"
#include "engine/reminder_reader.h"
#include "engine/settings.h"
#include "scheme/interpreter.h"

namespace engine {

namespace {

// The one engine of the process: the engine's Scheme procedures are called
// by the interpreter with nothing but itself, and reach the run here.
Engine* gEngine = nullptr;

// Any allocation that fails ends the run with the interpreter's report.
void outOfMemory() {
  if (gEngine != nullptr) gEngine->interpreter().outOfMemory();
  std::set_new_handler(nullptr);  // before the interpreter exists: bad_alloc
}

}  // namespace

// ---- Hooks ------------------------------------------------------------------

void EngineHooks::onError() {
  if (keepGoing()) throw SchemeAbort();
  if (gEngine != nullptr && gEngine->port() != nullptr) gEngine->port()->flush();
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

// ---- The engine ---------------------------------------------------------------

Engine& Engine::current() {
  assert(gEngine != nullptr);
  return *gEngine;
}

Engine& Engine::start() {
  if (gEngine == nullptr) gEngine = new Engine();
  Engine& e = *gEngine;
  e.port_ = new StdoutPort(stdout);
  auto* in = new scheme::Interpreter(*e.port_, e.hooks_);
  in->setHeapLimit(heapLimitSetting());
  e.use(*in);
  std::set_new_handler(outOfMemory);
  return e;
}

Engine& Engine::attach(scheme::Interpreter& in) {
  if (gEngine == nullptr) gEngine = new Engine();
  gEngine->port_ = nullptr;
  gEngine->use(in);
  return *gEngine;
}

void Engine::use(scheme::Interpreter& in) {
  in_ = &in;
  currentReader_ = nullptr;
  filesRead_.clear();
  static const char* const kNames[8] = {"",          "sunday",   "monday", "tuesday",
                                        "wednesday", "thursday", "friday", "saturday"};
  for (int w = 1; w <= 7; ++w) weekdaySymbols_[w] = in.internName(kNames[w]);
  resetKeywordTable(in.unspecified());
}

void Engine::open(const char* fileName, std::FILE* file) {
  filesRead_.push_back(fileName);
  reader_ = std::make_unique<ReminderReader>(*in_, std::make_unique<InputFile>(fileName, file));
  currentReader_ = reader_.get();
}

std::vector<std::unique_ptr<Reminder>> Engine::readEntries() {
  std::vector<std::unique_ptr<Reminder>> entries;
  entries.reserve(pendra::kMaxEntries);
  ReminderReader& reader = *reader_;
  auto report = [this] {
    port_->endLineBefore(engine::keepGoing() ? messageStream() : nullptr);
    return reportError(port_->file());
  };
  bool stopped = false;
  while (!stopped && static_cast<int32_t>(entries.size()) < pendra::kMaxEntries) {
    try {
      std::unique_ptr<Reminder> entry = readEntry(reader);
      if (!entry) break;
      entries.push_back(std::move(entry));
    } catch (const PDErrorType&) {
      stopped = report();
    } catch (const SchemeAbort&) {
      // Between entries: the expression's effects so far stay, and reading
      // goes on after it.
      reportSchemeError(reader.expressionFile().c_str(), reader.expressionLine());
    }
  }
  const char* file = nullptr;
  int32_t line = 0;
  if (static_cast<int32_t>(entries.size()) == pendra::kMaxEntries &&
      reader.hasMoreInput(&file, &line)) {
    try {
      raiseError("too many entries: only the first 1024 are used", file, line, 1);
    } catch (const PDErrorType&) {
      report();
    }
  }
  currentReader_ = nullptr;
  return entries;
}

void Engine::closeInputs() {
  if (reader_) reader_->closeInputs();
}

void Engine::startKeepingGoing() {
  setKeepGoing(true);
  setMessageStream(stderr, [] {
    if (StdoutPort* port = Engine::current().port()) port->endLineBefore(stderr);
  });
  if (port_ != nullptr) port_->captureReports(&report_, in_);
  // The file and line say where to look; the innermost frames say enough.
  in_->setBacktraceLimit(5);
}

void Engine::reportSchemeError(const char* file, int32_t line) {
  std::FILE* out = messageStream();
  if (port_ != nullptr) port_->endLineBefore(out);
  if (file != nullptr) std::fprintf(out, "%s(%d): ", file, static_cast<int>(line));
  std::fwrite(report_.data(), 1, report_.size(), out);
  report_.clear();
  countProblem();
}

void Engine::include(std::unique_ptr<InputFile> source) {
  filesRead_.push_back(source->name());
  currentReader_->pushInput(std::move(source));
}

scheme::Value Engine::weekdaySymbol(int weekday) const {
  assert(weekday >= 1 && weekday <= 7);
  return weekdaySymbols_[weekday];
}

// ---- Shorthands -----------------------------------------------------------------

scheme::Interpreter& interpreter() { return Engine::current().interpreter(); }
ReminderReader* currentReader() { return Engine::current().currentReader(); }
void setCurrentReader(ReminderReader* reader) { Engine::current().setCurrentReader(reader); }
scheme::Value weekdaySymbol(int weekday) { return Engine::current().weekdaySymbol(weekday); }
void useInterpreter(scheme::Interpreter& in) { Engine::attach(in); }

}  // namespace engine
