#include "tests/scheme/scheme_test.h"

#include <gtest/gtest.h>

#include <string>

#include "scheme/objects.h"
#include "scheme/printer.h"
#include "scheme/reader.h"
#include "scheme/registry.h"

namespace scheme_test {

using scheme::Value;

StringSource::StringSource(const std::string& text, const char* name) : text_(text) {
  for (const char* p = name; *p; ++p) name_.push_back(static_cast<unsigned char>(*p));
}

char16_t StringSource::next(bool& end) {
  if (pos_ >= text_.size()) {
    end = true;
    return 0;
  }
  end = false;
  char16_t c = static_cast<unsigned char>(text_[pos_++]);
  if (c == '\n') ++line_;
  return c;
}

void StringSource::pushBack(char16_t c) {
  // The reader only pushes back the character it was just given.
  if (pos_ > 0) --pos_;
  if (c == '\n') --line_;
}

void CaptureOutput::noteReport() {
  if (in_ && in_->reportingError() && reportStart_ == std::string::npos)
    reportStart_ = text_.size();
}

void CaptureOutput::putChar(char16_t c) {
  noteReport();
  if (c < 0x100) {
    text_.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    text_.push_back(static_cast<char>(0xC0 | (c >> 6)));
    text_.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    text_.push_back(static_cast<char>(0xE0 | (c >> 12)));
    text_.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    text_.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void CaptureOutput::putText(const char* text) {
  noteReport();
  text_ += text;
}

void CaptureOutput::putUnits(const char16_t* units, int32_t count) {
  for (int32_t i = 0; i < count; ++i) putChar(units[i]);
}

void TestHooks::onError() { throw SchemeError(); }

bool TestHooks::writeForeign(scheme::OutputPort& port, Value v) {
  if (!v.isHost()) return false;
  std::string text = "#<host:" + std::to_string(v.hostWord()) + ">";
  port.putText(text.c_str());
  return true;
}

bool TestHooks::displayForeign(scheme::OutputPort& port, Value v) { return writeForeign(port, v); }

Session::Session() : in_(std::make_unique<scheme::Interpreter>(out_, hooks_)) {
  out_.watch(in_.get());
}

Session::~Session() = default;

Value Session::run(const std::string& source) {
  // A line end after the text, as a reminder file has after an expression:
  // a token at the very end of the input would be an error.
  StringSource src(source + "\n");
  scheme::SourceTable& table = tables_.emplace_back();
  table.fileName = src.name();
  Value last = in_->unspecified();
  for (;;) {
    Value datum = scheme::read(*in_, src, &table);
    if (datum == in_->eof()) break;
    last = in_->evalTopLevel(datum, &table);
  }
  return last;
}

std::string Session::written(Value v) {
  CaptureOutput port;
  scheme::write(*in_, port, v);
  return port.text();
}

std::string Session::errorReport(const std::string& source) {
  out_.clearReport();
  try {
    Value v = run(source);
    ADD_FAILURE() << "no error evaluating " << source << "; value " << written(v);
    return "<no error>";
  } catch (const SchemeError&) {
    size_t start = out_.reportStart();
    return start == std::string::npos ? std::string() : out_.text().substr(start);
  }
}

std::string TopLevelReport(const std::string& head, const std::string& expr, int line) {
  return head + "\n\neval " + expr + "\n    test(" + std::to_string(line) + "): " + expr + "\n";
}

std::string Eval(const std::string& source) {
  Session s;
  try {
    return s.written(s.run(source));
  } catch (const SchemeError&) {
    ADD_FAILURE() << "error evaluating " << source << "\n" << s.out().text();
    return "<error>";
  }
}

std::string Output(const std::string& source) {
  Session s;
  try {
    s.run(source);
  } catch (const SchemeError&) {
  }
  return s.out().text();
}

std::string EvalError(const std::string& source) {
  Session s;
  return s.errorReport(source);
}

// ---- Test-only builtins --------------------------------------------------
// Just enough of a library to test the core without the standard procedures.

namespace {

using scheme::Interpreter;

Value testAdd(Interpreter&, int32_t argc, Value* argv) {
  int32_t sum = 0;
  for (int32_t i = 0; i < argc; ++i) sum += argv[i].number();
  return Value::makeNumber(sum);
}
const scheme::Builtin kTestAdd("test-add", testAdd, "*n");

Value testSub(Interpreter&, int32_t, Value* argv) {
  return Value::makeNumber(argv[0].number() - argv[1].number());
}
const scheme::Builtin kTestSub("test-sub", testSub, "nn");

Value testNumEq(Interpreter& in, int32_t, Value* argv) {
  return in.boolean(argv[0].number() == argv[1].number());
}
const scheme::Builtin kTestNumEq("test-num-eq", testNumEq, "nn");

Value testLess(Interpreter& in, int32_t, Value* argv) {
  return in.boolean(argv[0].number() < argv[1].number());
}
const scheme::Builtin kTestLess("test-lt", testLess, "nn");

Value testList(Interpreter& in, int32_t argc, Value* argv) {
  Value list = in.emptyList();
  for (int32_t i = argc - 1; i >= 0; --i) list = scheme::cons(in, argv[i], list);
  return list;
}
const scheme::Builtin kTestList("test-list", testList, "*.");

Value testCar(Interpreter&, int32_t, Value* argv) {
  return scheme::as<scheme::Pair>(argv[0])->car();
}
const scheme::Builtin kTestCar("test-car", testCar, "p");

Value testSetCar(Interpreter& in, int32_t, Value* argv) {
  scheme::as<scheme::Pair>(argv[0])->setCar(argv[1]);
  return in.unspecified();
}
const scheme::Builtin kTestSetCar("test-set-car!", testSetCar, "p.");

Value testSetCdr(Interpreter& in, int32_t, Value* argv) {
  scheme::as<scheme::Pair>(argv[0])->setCdr(argv[1]);
  return in.unspecified();
}
const scheme::Builtin kTestSetCdr("test-set-cdr!", testSetCdr, "p.");

Value testVector(Interpreter& in, int32_t argc, Value* argv) {
  Value v = scheme::makeVector(in, argc, in.unspecified());
  for (int32_t i = 0; i < argc; ++i) scheme::as<scheme::Vector>(v)->items()[i] = argv[i];
  return v;
}
const scheme::Builtin kTestVector("test-vector", testVector, "*.");

Value testVectorSet(Interpreter& in, int32_t, Value* argv) {
  scheme::as<scheme::Vector>(argv[0])->items()[argv[1].number()] = argv[2];
  return in.unspecified();
}
const scheme::Builtin kTestVectorSet("test-vector-set!", testVectorSet, "vn.");

Value testDisplay(Interpreter& in, int32_t, Value* argv) {
  scheme::display(in, in.output(), argv[0]);
  return in.unspecified();
}
const scheme::Builtin kTestDisplay("test-display", testDisplay, ".");

Value testWrite(Interpreter& in, int32_t, Value* argv) {
  scheme::write(in, in.output(), argv[0]);
  return in.unspecified();
}
const scheme::Builtin kTestWrite("test-write", testWrite, ".");

// (test-call proc arg ...): the host's way of calling a procedure.
Value testCall(Interpreter& in, int32_t argc, Value* argv) {
  return in.call(argv[0], argc - 1, argv + 1);
}
const scheme::Builtin kTestCall("test-call", testCall, ".*.");

// (test-apply-raw proc arg ...): the unfinished result of apply, which may
// be a pending call for the evaluator to run.
Value testApplyRaw(Interpreter& in, int32_t argc, Value* argv) {
  if (!argv[0].isObject()) in.error("Not callable", argv[0]);
  return argv[0].object()->apply(in, argc - 1, argv + 1);
}
const scheme::Builtin kTestApplyRaw("test-apply-raw", testApplyRaw, ".*.");

// (test-include "text"): reads and evaluates text as the host does, from
// inside a running evaluation, with a table named "inner".
Value testInclude(Interpreter& in, int32_t, Value* argv) {
  const scheme::String* text = scheme::as<scheme::String>(argv[0]);
  std::string bytes;
  for (int32_t i = 0; i < text->length(); ++i) bytes.push_back(static_cast<char>(text->units()[i]));
  StringSource source(bytes + "\n", "inner");
  scheme::SourceTable table;
  table.fileName = source.name();
  Value last = in.unspecified();
  for (;;) {
    Value datum = scheme::read(in, source, &table);
    if (datum == in.eof()) return last;
    last = in.evalTopLevel(datum, &table);
  }
}
const scheme::Builtin kTestInclude("test-include", testInclude, "s");

// (test-host n): the host immediate with word n * 4 + 3.
Value testHost(Interpreter&, int32_t, Value* argv) {
  return Value::makeHost(static_cast<uint32_t>(argv[0].number()) * 4u + 3u);
}
const scheme::Builtin kTestHost("test-host", testHost, "n");

}  // namespace

void Check(const Case* cases, size_t count) {
  for (const Case* c = cases; c < cases + count; ++c) {
    if (c->expected[0] != '!') {
      EXPECT_EQ(c->expected, Eval(c->source)) << c->source;
      continue;
    }
    Session s;
    std::string expr = s.written(s.run(std::string("'") + c->source));
    EXPECT_EQ(TopLevelReport(c->expected + 1, expr), s.errorReport(c->source)) << c->source;
  }
}

}  // namespace scheme_test
