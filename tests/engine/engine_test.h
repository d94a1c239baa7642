// Helpers for the engine's unit tests: an input over a string, an output
// port into a string, host hooks that turn a Scheme error into a C++
// exception, and a session that owns a fresh interpreter with the keyword
// table filled for it.
#ifndef PENDRA_TESTS_ENGINE_ENGINE_TEST_H_
#define PENDRA_TESTS_ENGINE_ENGINE_TEST_H_

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "common/date.h"
#include "engine/error.h"
#include "engine/reminder_reader.h"
#include "engine/specifier.h"
#include "scheme/host.h"
#include "scheme/interpreter.h"

namespace engine_test {

// Thrown by TestHooks::onError after the report has been printed.
struct SchemeError {};

// The bytes of a string as an input named name, in directory "/dir/".
class StringInput : public engine::InputSource {
 public:
  StringInput(std::string text, std::string name)
      : text_(std::move(text)), name_(std::move(name)) {}
  const char* name() override { return name_.c_str(); }
  const char* directory() override { return "/dir/"; }
  char readChar(bool& eof) override;

 private:
  std::string text_;
  std::string name_;
  size_t pos_ = 0;
};

class CaptureOutput : public scheme::OutputPort {
 public:
  void putChar(char16_t c) override { text_.push_back(static_cast<char>(c)); }
  void putText(const char* text) override { text_ += text; }
  void putUnits(const char16_t* units, int32_t count) override;
  const std::string& text() const { return text_; }
  void clear() { text_.clear(); }

 private:
  std::string text_;
};

// Dates print as the engine prints them; onError throws SchemeError.
class TestHooks : public scheme::HostHooks {
 public:
  void onError() override;
  bool writeForeign(scheme::OutputPort& port, scheme::Value v) override;
  bool displayForeign(scheme::OutputPort&, scheme::Value) override { return false; }
};

class Session {
 public:
  Session();
  ~Session();
  scheme::Interpreter& in() { return *in_; }
  CaptureOutput& out() { return out_; }

  // A reader over text, as if it were the file test.pnd.
  engine::ReminderReader& reader(const std::string& text, const std::string& name = "test.pnd");
  // Evaluates one Scheme datum and returns its value. Throws SchemeError.
  scheme::Value eval(const std::string& text);
  // Sets a global Scheme variable.
  void define(const char* name, scheme::Value v);
  scheme::Value global(const char* name);

 private:
  CaptureOutput out_;
  TestHooks hooks_;
  std::unique_ptr<scheme::Interpreter> in_;
  std::deque<std::unique_ptr<engine::ReminderReader>> readers_;
  std::deque<scheme::SourceTable> tables_;
};

// "file(line): error: message\n" (or "fatal error:"), as the driver prints.
std::string Report(const engine::PDErrorType& e);

// Runs f, expecting a reminder-file error; returns its report, or a note
// when nothing was raised.
std::string ReportOf(const std::function<void()>& f);

// A real day with its weekday computed.
pendra::Date Day(int day, int month, int year);
// "25 dec 2005".
std::string Show(const pendra::Date& d);
// The days from first to last (inclusive) that specifier.match selects, each
// shown as by Show and separated by ", ".
std::string Selected(engine::Specifier& specifier, pendra::Date first, pendra::Date last);

}  // namespace engine_test

#endif  // PENDRA_TESTS_ENGINE_ENGINE_TEST_H_
