#include "tests/engine/engine_test.h"

#include <cstdio>

#include "engine/engine.h"
#include "engine/keyword_table.h"
#include "scheme/reader.h"
#include "scheme/symbol.h"

namespace engine_test {

char StringInput::readChar(bool& eof) {
  eof = pos_ >= text_.size();
  return eof ? '\0' : text_[pos_++];
}

void CaptureOutput::putUnits(const char16_t* units, int32_t count) {
  for (int32_t i = 0; i < count; ++i) putChar(units[i]);
}

void TestHooks::onError() { throw SchemeError(); }

bool TestHooks::writeForeign(scheme::OutputPort& port, scheme::Value v) {
  if (!v.isHost()) return false;
  pendra::Date d = pendra::unpackDate(v.hostWord());
  port.putText(("#<date: " + Show(d) + ">").c_str());
  return true;
}

Session::Session() : in_(std::make_unique<scheme::Interpreter>(out_, hooks_)) {
  engine::useInterpreter(*in_);
}

Session::~Session() {
  engine::setCurrentReader(nullptr);
  readers_.clear();
}

engine::ReminderReader& Session::reader(const std::string& text, const std::string& name) {
  readers_.push_back(
      std::make_unique<engine::ReminderReader>(*in_, std::make_unique<StringInput>(text, name)));
  engine::setCurrentReader(readers_.back().get());
  return *readers_.back();
}

scheme::Value Session::eval(const std::string& text) {
  engine::InputReader input(std::make_unique<StringInput>(text, "eval"), nullptr);
  engine::ReminderCharSource source(input);
  scheme::SourceTable& table = tables_.emplace_back();
  table.fileName = source.name();
  return in_->evalTopLevel(scheme::read(*in_, source, &table), &table);
}

void Session::define(const char* name, scheme::Value v) {
  in_->internName(name)->setGlobalValue(v);
}

scheme::Value Session::global(const char* name) { return in_->internName(name)->globalValue(); }

std::string Report(const engine::PDErrorType& e) {
  std::string text;
  if (e.fileName != nullptr) text = std::string(e.fileName) + "(" + std::to_string(e.line) + "): ";
  text += e.fatal ? "fatal error: " : "error: ";
  return text + e.message + "\n";
}

std::string ReportOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const engine::PDErrorType& e) {
    return Report(e);
  }
  return "<no error>";
}

pendra::Date Day(int day, int month, int year) {
  pendra::Date d(static_cast<uint8_t>(day), static_cast<uint8_t>(month),
                 static_cast<uint32_t>(year));
  d.weekday = pendra::weekdayOf(d.day, d.month, d.year);
  return d;
}

std::string Show(const pendra::Date& d) {
  const char* month = d.month >= 1 && d.month <= 12 ? pendra::kMonthNames[d.month] : "?";
  return std::to_string(d.day) + " " + month + " " + std::to_string(d.year);
}

std::string Selected(engine::Specifier& specifier, pendra::Date first, pendra::Date last) {
  std::string days;
  for (int32_t n = first.dayNumber(); n <= last.dayNumber(); ++n) {
    pendra::Date d = pendra::Date::fromNumber(n);
    if (!specifier.match(d)) continue;
    if (!days.empty()) days += ", ";
    days += Show(d);
  }
  return days;
}

}  // namespace engine_test
