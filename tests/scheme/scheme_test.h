// Helpers for the interpreter's tests: a string source, an output port into
// a string, host hooks that turn an error report into a C++ exception, and
// one-call evaluation of Scheme text in a fresh interpreter.
#ifndef PENDRA_TESTS_SCHEME_SCHEME_TEST_H_
#define PENDRA_TESTS_SCHEME_SCHEME_TEST_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "scheme/host.h"
#include "scheme/interpreter.h"
#include "scheme/value.h"

namespace scheme_test {

// Thrown by TestHooks::onError once the report has been printed.
struct SchemeError {};

// Characters of an 8-bit string, each byte zero-extended to one unit.
// Counts lines from 1; pushing back a line end counts it off again.
class StringSource : public scheme::CharSource {
 public:
  explicit StringSource(const std::string& text, const char* name = "test");
  char16_t next(bool& end) override;
  void pushBack(char16_t c) override;
  const char16_t* name() override { return name_.c_str(); }
  int32_t line() override { return line_; }

 private:
  std::string text_;
  size_t pos_ = 0;
  std::u16string name_;
  int32_t line_ = 1;
};

// Collects everything printed. A unit below 256 becomes one byte, any other
// unit its UTF-8 form.
class CaptureOutput : public scheme::OutputPort {
 public:
  void putChar(char16_t c) override;
  void putText(const char* text) override;
  void putUnits(const char16_t* units, int32_t count) override;

  const std::string& text() const { return text_; }
  // Where the error report of the last error started in text(), or npos.
  size_t reportStart() const { return reportStart_; }
  // Lets the port notice when the interpreter starts an error report.
  void watch(const scheme::Interpreter* in) { in_ = in; }
  // Forgets the last report, so that reportStart() finds the next one.
  void clearReport() { reportStart_ = std::string::npos; }

 private:
  void noteReport();
  std::string text_;
  size_t reportStart_ = std::string::npos;
  const scheme::Interpreter* in_ = nullptr;
};

// onError throws SchemeError; host immediates print as "#<host:N>" (N the
// 32-bit word in decimal) for both write and display; every other value is
// declined.
class TestHooks : public scheme::HostHooks {
 public:
  void onError() override;
  bool writeForeign(scheme::OutputPort& port, scheme::Value v) override;
  bool displayForeign(scheme::OutputPort& port, scheme::Value v) override;
};

// One interpreter with its port and hooks, for tests that evaluate several
// sources in turn or look at the interpreter itself.
class Session {
 public:
  Session();
  ~Session();
  scheme::Interpreter& in() { return *in_; }
  CaptureOutput& out() { return out_; }

  // Reads and evaluates every datum of source in order (read with a
  // SourceTable named "test", then evalTopLevel) and returns the last value,
  // or the unspecified object when there is none. A line end is read after
  // source, so a bare symbol or number at its end is complete. Throws
  // SchemeError.
  scheme::Value run(const std::string& source);
  // The written form of v.
  std::string written(scheme::Value v);
  // Runs source expecting an error and returns the report (only the
  // report). Fails the test when there is no error.
  std::string errorReport(const std::string& source);

 private:
  CaptureOutput out_;
  TestHooks hooks_;
  std::unique_ptr<scheme::Interpreter> in_;
  std::deque<scheme::SourceTable> tables_;  // kept alive for the whole session
};

// The test binary registers a few builtins of its own, so that the core can
// be tested without the standard procedures: test-add (*n), test-sub (nn),
// test-num-eq (nn), test-lt (nn), test-list (*.), test-car (p),
// test-set-car! and test-set-cdr! (p.), test-vector (*.), test-vector-set!
// (vn.), test-display and test-write (.), test-call (.*.: Interpreter::call),
// test-apply-raw (.*.: the unfinished apply result), test-include (s:
// evaluates the text from inside a running evaluation, table "inner") and
// test-host (n: the host immediate with word n * 4 + 3).

// Evaluates every datum of source, in order, in a fresh Interpreter. Returns
// the written form (write) of the last datum's value, e.g. Eval("(+ 1 2)")
// == "3", Eval("(if #f 1)") == "#<unspecified>". An error fails the test
// (ADD_FAILURE with the report) and returns "<error>".
std::string Eval(const std::string& source);

// Everything printed while evaluating source (display/write/newline output);
// an error report, if any, is included.
std::string Output(const std::string& source);

// Evaluates source, expecting an error; returns the whole error report text
// (only the report, not output printed before it). Fails the test if no
// error is raised.
std::string EvalError(const std::string& source);

// The report of an error raised while evaluating the top-level expression
// expr (as written back) that starts on the given line of the test source:
// head (message, ": ", culprit), a blank line, then "eval expr" and the
// expression's line.
std::string TopLevelReport(const std::string& head, const std::string& expr, int line = 1);

// One row of a table of sources and what they give.
struct Case {
  const char* source;
  const char* expected;  // the value as written, or "!" and the report's head
};

// Evaluates each case in a fresh interpreter. An expected text starting with
// "!" is the head (message, ": ", culprit) of the error report the source,
// one expression, raises; the rest of the report names it on line 1.
void Check(const Case* cases, size_t count);

}  // namespace scheme_test

#endif  // PENDRA_TESTS_SCHEME_SCHEME_TEST_H_
