// The engine's own Scheme procedures: dates, the binders that attach
// procedures to reminder words, and include. They register like the
// interpreter's builtins and are installed with them.
//
// A date is a host immediate: the packed date word (day, month, year; low
// bits 11). The word is canonical, so eq?, eqv? and equal? compare days.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "common/bounds.h"
#include "common/date.h"
#include "engine/engine.h"
#include "engine/keyword_table.h"
#include "engine/platform.h"
#include "engine/reminder_reader.h"
#include "scheme/interpreter.h"
#include "scheme/objects.h"
#include "scheme/registry.h"

namespace engine {
namespace {

using scheme::Builtin;
using scheme::Interpreter;
using scheme::Value;

using pendra::kFirstYear;
using pendra::kLastYear;

pendra::Date checkDate(Interpreter& in, Value v) {
  if (!v.isHost()) in.error("Wrong type", v);
  return pendra::unpackDate(v.hostWord());
}

Value makeDate(const pendra::Date& d) { return Value::makeHost(pendra::packDate(d)); }

// The units of a string narrowed to their low bytes.
std::string narrow(Value s, size_t limit) {
  const scheme::String* str = scheme::as<scheme::String>(s);
  std::string out;
  for (int32_t i = 0; i < str->length() && out.size() < limit; ++i)
    out += static_cast<char>(str->units()[i] & 0xff);
  return out;
}

// ==== Dates =================================================================

Value isDate(Interpreter& in, int32_t, Value* argv) { return in.boolean(argv[0].isHost()); }
const Builtin kIsDate("date?", isDate, ".");

Value date(Interpreter& in, int32_t, Value* argv) {
  int32_t day = argv[0].number(), month = argv[1].number(), year = argv[2].number();
  if (month < 1 || month > 12) in.error("Month too big or too small", argv[1]);
  if (year < static_cast<int32_t>(pendra::kFirstWrittenYear) ||
      year > static_cast<int32_t>(pendra::kLastWrittenYear))
    in.error("Year too big or too small", argv[2]);
  if (day < 1 ||
      day > pendra::daysInMonth(static_cast<uint8_t>(month), static_cast<uint32_t>(year)))
    in.error("Day too big or too small", argv[0]);
  return makeDate(pendra::Date(static_cast<uint8_t>(day), static_cast<uint8_t>(month),
                               static_cast<uint32_t>(year)));
}
const Builtin kDate("date", date, "nnn");

Value day(Interpreter& in, int32_t, Value* argv) {
  return Value::makeNumber(checkDate(in, argv[0]).day);
}
const Builtin kDay("day", day, ".");

Value month(Interpreter& in, int32_t, Value* argv) {
  return Value::makeNumber(checkDate(in, argv[0]).month);
}
const Builtin kMonth("month", month, ".");

Value year(Interpreter& in, int32_t, Value* argv) {
  return Value::makeNumber(static_cast<int32_t>(checkDate(in, argv[0]).year));
}
const Builtin kYear("year", year, ".");

Value dayName(Interpreter& in, int32_t, Value* argv) {
  pendra::Date d = checkDate(in, argv[0]);
  return weekdaySymbol(pendra::weekdayOf(d.day, d.month, d.year));
}
const Builtin kDayName("day-name", dayName, ".");

Value daysBetween(Interpreter& in, int32_t, Value* argv) {
  pendra::Date a = checkDate(in, argv[0]);
  pendra::Date b = checkDate(in, argv[1]);
  return Value::makeNumber(static_cast<int32_t>(a.dayNumber() - b.dayNumber()));
}
const Builtin kDaysBetween("days-between", daysBetween, "..");

// Steps through day numbers, which gives what stepping one day at a time
// gives, at once. Results outside the years the packed word holds are
// refused, naming the count.
Value stepDate(Interpreter& in, Value d, Value count, int64_t days) {
  pendra::Date from = checkDate(in, d);
  int64_t n = static_cast<int64_t>(from.dayNumber()) + days;
  if (n < pendra::Date(1, 1, kFirstYear).dayNumber() ||
      n > pendra::Date(31, 12, kLastYear).dayNumber())
    in.error("Date out of range", count);
  return makeDate(pendra::Date::fromNumber(n));
}

Value datePlus(Interpreter& in, int32_t, Value* argv) {
  return stepDate(in, argv[0], argv[1], argv[1].number());
}
const Builtin kDatePlus("date+", datePlus, ".n");

Value dateMinus(Interpreter& in, int32_t, Value* argv) {
  return stepDate(in, argv[0], argv[1], -static_cast<int64_t>(argv[1].number()));
}
const Builtin kDateMinus("date-", dateMinus, ".n");

// ==== Binding procedures to reminder words ==================================

// Replaces the word's flags as a whole: any earlier meaning, even a built-in
// one such as a weekday name, is gone.
Value bindWord(Interpreter& in, Value* argv, uint32_t flags) {
  if (!scheme::isProcedure(argv[0])) in.error("Not a callable", argv[0]);
  Keyword* k = internKeyword(narrow(argv[1], 127).c_str());
  k->value = argv[0];
  k->flags = flags;
  return in.unspecified();
}

Value testSpecifier(Interpreter& in, int32_t, Value* argv) {
  return bindWord(in, argv, SpecifierProcFlag | 0);
}
const Builtin kTestSpecifier("test-specifier", testSpecifier, ".s");

Value setSpecifier(Interpreter& in, int32_t, Value* argv) {
  return bindWord(in, argv, SpecifierProcFlag | 1);
}
const Builtin kSetSpecifier("set-specifier", setSpecifier, ".s");

Value remindField(Interpreter& in, int32_t, Value* argv) {
  return bindWord(in, argv, FieldProcFlag);
}
const Builtin kRemindField("remind-field", remindField, ".s");

// ==== include ===============================================================

// Opens the name as given; else, unless it is absolute, next to each file
// being read, from the innermost outward, so that a relative name works
// wherever pendcal was started. The file is read right after the current
// expression, before the rest of the including file. A file that is being
// read already, or one nesting too deep, is refused: either would run on
// until the system's file limit. Files pushed by the current expression
// are not being read yet, so one of them may be included again; each such
// file still counts towards the depth, as it is open.
Value include(Interpreter& in, int32_t, Value* argv) {
  std::string name = narrow(argv[0], SIZE_MAX);
  ReminderReader* reader = currentReader();
  if (reader == nullptr || reader->currentInput() == nullptr)
    in.error("Not a valid filename", argv[0]);
  std::FILE* file = openForReading(name.c_str());
  if (file == nullptr && !isAbsolutePath(name.c_str())) {
    for (InputReader* input = reader->currentInput(); input != nullptr && file == nullptr;
         input = input->outer()) {
      std::string path = std::string(input->directory()) + name;
      if (path.size() > pendra::kMaxIncludePath) in.error("Not a valid filename", argv[0]);
      file = openForReading(path.c_str());
      if (file != nullptr) name = path;
    }
  }
  if (file == nullptr) in.error("Not a valid filename", argv[0]);
  auto source = std::make_unique<InputFile>(name.c_str(), file);
  int32_t depth = 0;
  for (InputReader* input = reader->currentInput(); input != nullptr; input = input->outer()) {
    bool same = input->started() && source->identity()[0] != '\0' &&
                std::strcmp(source->identity(), input->identity()) == 0;
    if (same || depth++ == pendra::kMaxIncludeDepth) {
      source.reset();  // closes the file before the report ends the run
      in.error("Include nested too deeply", argv[0]);
    }
  }
  Engine::current().include(std::move(source));
  return in.unspecified();
}
const Builtin kInclude("include", include, "s");

}  // namespace
}  // namespace engine
