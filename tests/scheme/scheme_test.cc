#include "tests/scheme/scheme_test.h"

#include <gtest/gtest.h>

#include <string>

#include "scheme/printer.h"
#include "scheme/reader.h"

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
  try {
    Value v = s.run(source);
    ADD_FAILURE() << "no error evaluating " << source << "; value " << s.written(v);
    return "<no error>";
  } catch (const SchemeError&) {
    size_t start = s.out().reportStart();
    if (start == std::string::npos) start = 0;
    return s.out().text().substr(start);
  }
}

}  // namespace scheme_test
