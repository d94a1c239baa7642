// Builtins on symbols, characters and strings.
//
// Characters are 16-bit codes; case mapping and classification know the
// ASCII letters only (65..90 upper, 97..122 lower), every other code maps to
// itself. Strings are mutable only through string-set! and string-fill!;
// every other procedure here that returns a string makes a new one.
#include <cstdint>

#include "common/bounds.h"
#include "scheme/interpreter.h"
#include "scheme/objects.h"
#include "scheme/registry.h"
#include "scheme/relation.h"

namespace scheme {

namespace {

using pendra::kMaxStringLength;

char16_t toLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }
char16_t toUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

// First code minus second, after mapping both to lower case when folding.
int32_t charDifference(Value a, Value b, bool fold) {
  char16_t x = a.charCode(), y = b.charCode();
  if (fold) x = toLower(x), y = toLower(y);
  return int32_t{x} - int32_t{y};
}

// Unit by unit (unsigned); when one string is a prefix of the other, the
// difference of the lengths.
int32_t stringDifference(Value a, Value b, bool fold) {
  const String* s = as<String>(a);
  const String* t = as<String>(b);
  for (int32_t i = 0; i < s->length() && i < t->length(); ++i) {
    char16_t x = s->units()[i], y = t->units()[i];
    if (fold) x = toLower(x), y = toLower(y);
    if (x != y) return int32_t{x} - int32_t{y};
  }
  return s->length() - t->length();
}

// "String index out of range" naming k unless 0 <= k < length.
int32_t checkIndex(Interpreter& in, const String* s, Value k) {
  int32_t i = k.number();
  if (i < 0 || i >= s->length()) in.error("String index out of range", k);
  return i;
}

}  // namespace

// ---- Symbols --------------------------------------------------------------

static Value symbolP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(isType(argv[0], TypeCode::Symbol));
}
static const Builtin kSymbolP("symbol?", symbolP, ".");

// A copy, so that string-set! on the result cannot rename the symbol under
// the symbol table.
static Value symbolToString(Interpreter& in, int32_t argc, Value* argv) {
  const String* name = as<Symbol>(argv[0])->nameString();
  return makeString(in, name->length(), name->units());
}
static const Builtin kSymbolToString("symbol->string", symbolToString, "S");

// The units as they are: no case folding, no length limit.
static Value stringToSymbol(Interpreter& in, int32_t argc, Value* argv) {
  const String* s = as<String>(argv[0]);
  return in.intern(s->length(), s->units());
}
static const Builtin kStringToSymbol("string->symbol", stringToSymbol, "s");

// ---- Characters -----------------------------------------------------------

static Value charP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(argv[0].isChar());
}
static const Builtin kCharP("char?", charP, ".");

template <Relation r, bool fold>
static Value charCompare(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(holds<r>(charDifference(argv[0], argv[1], fold)));
}
static const Builtin kCharEq("char=?", charCompare<Relation::kEqual, false>, "cc");
static const Builtin kCharLt("char<?", charCompare<Relation::kLess, false>, "cc");
static const Builtin kCharGt("char>?", charCompare<Relation::kGreater, false>, "cc");
static const Builtin kCharLe("char<=?", charCompare<Relation::kLessEqual, false>, "cc");
static const Builtin kCharGe("char>=?", charCompare<Relation::kGreaterEqual, false>, "cc");
static const Builtin kCharCiEq("char-ci=?", charCompare<Relation::kEqual, true>, "cc");
static const Builtin kCharCiLt("char-ci<?", charCompare<Relation::kLess, true>, "cc");
static const Builtin kCharCiGt("char-ci>?", charCompare<Relation::kGreater, true>, "cc");
static const Builtin kCharCiLe("char-ci<=?", charCompare<Relation::kLessEqual, true>, "cc");
static const Builtin kCharCiGe("char-ci>=?", charCompare<Relation::kGreaterEqual, true>, "cc");

static Value charAlphabeticP(Interpreter& in, int32_t argc, Value* argv) {
  char16_t c = argv[0].charCode();
  return in.boolean(toLower(c) != toUpper(c));
}
static const Builtin kCharAlphabeticP("char-alphabetic?", charAlphabeticP, "c");

static Value charNumericP(Interpreter& in, int32_t argc, Value* argv) {
  char16_t c = argv[0].charCode();
  return in.boolean(c >= u'0' && c <= u'9');
}
static const Builtin kCharNumericP("char-numeric?", charNumericP, "c");

// Tab, line feed, form feed, carriage return and space; not vertical tab.
static Value charWhitespaceP(Interpreter& in, int32_t argc, Value* argv) {
  char16_t c = argv[0].charCode();
  return in.boolean(c == 9 || c == 10 || c == 12 || c == 13 || c == 32);
}
static const Builtin kCharWhitespaceP("char-whitespace?", charWhitespaceP, "c");

static Value charToInteger(Interpreter& in, int32_t argc, Value* argv) {
  return Value::makeNumber(argv[0].charCode());
}
static const Builtin kCharToInteger("char->integer", charToInteger, "c");

// The number's low 16 bits become the code.
static Value integerToChar(Interpreter& in, int32_t argc, Value* argv) {
  return Value::makeChar(static_cast<uint32_t>(argv[0].number()));
}
static const Builtin kIntegerToChar("integer->char", integerToChar, "n");

static Value charUpcase(Interpreter& in, int32_t argc, Value* argv) {
  return Value::makeChar(toUpper(argv[0].charCode()));
}
static const Builtin kCharUpcase("char-upcase", charUpcase, "c");

static Value charDowncase(Interpreter& in, int32_t argc, Value* argv) {
  return Value::makeChar(toLower(argv[0].charCode()));
}
static const Builtin kCharDowncase("char-downcase", charDowncase, "c");

// ---- Strings --------------------------------------------------------------

static Value stringP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(isType(argv[0], TypeCode::String));
}
static const Builtin kStringP("string?", stringP, ".");

// The fill is the first character after the length (a space without one);
// any further characters are ignored.
static Value makeStringProc(Interpreter& in, int32_t argc, Value* argv) {
  int32_t length = argv[0].number();
  if (length < 0) in.error("string length must be positive", argv[0]);
  if (length > kMaxStringLength) in.error("Out of memory", argv[0]);
  char16_t fill = argc > 1 ? argv[1].charCode() : u' ';
  Value s = makeString(in, length, nullptr);
  char16_t* units = as<String>(s)->units();
  for (int32_t i = 0; i < length; ++i) units[i] = fill;
  return s;
}
static const Builtin kMakeString("make-string", makeStringProc, "n*c");

static Value string(Interpreter& in, int32_t argc, Value* argv) {
  Value s = makeString(in, argc, nullptr);
  char16_t* units = as<String>(s)->units();
  for (int32_t i = 0; i < argc; ++i) units[i] = argv[i].charCode();
  return s;
}
static const Builtin kString("string", string, "*c");

static Value stringLength(Interpreter& in, int32_t argc, Value* argv) {
  return Value::makeNumber(as<String>(argv[0])->length());
}
static const Builtin kStringLength("string-length", stringLength, "s");

static Value stringRef(Interpreter& in, int32_t argc, Value* argv) {
  const String* s = as<String>(argv[0]);
  return Value::makeChar(s->units()[checkIndex(in, s, argv[1])]);
}
static const Builtin kStringRef("string-ref", stringRef, "sn");

static Value stringSet(Interpreter& in, int32_t argc, Value* argv) {
  String* s = as<String>(argv[0]);
  s->units()[checkIndex(in, s, argv[1])] = argv[2].charCode();
  return in.unspecified();
}
static const Builtin kStringSet("string-set!", stringSet, "snc");

template <Relation r, bool fold>
static Value stringCompare(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(holds<r>(stringDifference(argv[0], argv[1], fold)));
}
static const Builtin kStringEq("string=?", stringCompare<Relation::kEqual, false>, "ss");
static const Builtin kStringLt("string<?", stringCompare<Relation::kLess, false>, "ss");
static const Builtin kStringGt("string>?", stringCompare<Relation::kGreater, false>, "ss");
static const Builtin kStringLe("string<=?", stringCompare<Relation::kLessEqual, false>, "ss");
static const Builtin kStringGe("string>=?", stringCompare<Relation::kGreaterEqual, false>, "ss");
static const Builtin kStringCiEq("string-ci=?", stringCompare<Relation::kEqual, true>, "ss");
static const Builtin kStringCiLt("string-ci<?", stringCompare<Relation::kLess, true>, "ss");
static const Builtin kStringCiGt("string-ci>?", stringCompare<Relation::kGreater, true>, "ss");
static const Builtin kStringCiLe("string-ci<=?", stringCompare<Relation::kLessEqual, true>, "ss");
static const Builtin kStringCiGe("string-ci>=?", stringCompare<Relation::kGreaterEqual, true>,
                                 "ss");

static Value substring(Interpreter& in, int32_t argc, Value* argv) {
  const String* s = as<String>(argv[0]);
  int32_t start = argv[1].number();
  int32_t end = argv[2].number();
  if (start < 0 || end < start) in.error("bad string index", argv[1]);
  if (end > s->length()) in.error("bad string index", argv[2]);
  return makeString(in, end - start, s->units() + start);
}
static const Builtin kSubstring("substring", substring, "snn");

static Value stringAppend(Interpreter& in, int32_t argc, Value* argv) {
  int32_t length = 0;
  for (int32_t i = 0; i < argc; ++i) {
    length += as<String>(argv[i])->length();
    if (length > kMaxStringLength) in.error("Out of memory", Value::makeNumber(length));
  }
  Value result = makeString(in, length, nullptr);
  char16_t* units = as<String>(result)->units();
  for (int32_t i = 0; i < argc; ++i) {
    const String* s = as<String>(argv[i]);
    for (int32_t j = 0; j < s->length(); ++j) *units++ = s->units()[j];
  }
  return result;
}
static const Builtin kStringAppend("string-append", stringAppend, "*s");

static Value stringToList(Interpreter& in, int32_t argc, Value* argv) {
  const String* s = as<String>(argv[0]);
  Value result = in.emptyList();
  for (int32_t i = s->length() - 1; i >= 0; --i)
    result = cons(in, Value::makeChar(s->units()[i]), result);
  return result;
}
static const Builtin kStringToList("string->list", stringToList, "s");

// Counts the cells first (each a pair, the list not circular), then checks
// each element as it is stored.
static Value listToString(Interpreter& in, int32_t argc, Value* argv) {
  Value list = argv[0];
  int32_t length = 0;
  Value slow = list;
  for (Value cell = list; cell != in.emptyList(); ++length) {
    checkType(in, TypeCode::Pair, cell);
    cell = as<Pair>(cell)->cdr();
    if (length % 2 == 1) slow = as<Pair>(slow)->cdr();
    if (cell == slow) in.error("Wrong type", list);
  }
  Value result = makeString(in, length, nullptr);
  char16_t* units = as<String>(result)->units();
  for (Value cell = list; cell != in.emptyList(); cell = as<Pair>(cell)->cdr()) {
    Value c = as<Pair>(cell)->car();
    checkType(in, TypeCode::Character, c);
    *units++ = c.charCode();
  }
  return result;
}
static const Builtin kListToString("list->string", listToString, ".");

static Value stringCopy(Interpreter& in, int32_t argc, Value* argv) {
  const String* s = as<String>(argv[0]);
  return makeString(in, s->length(), s->units());
}
static const Builtin kStringCopy("string-copy", stringCopy, "s");

static Value stringFill(Interpreter& in, int32_t argc, Value* argv) {
  String* s = as<String>(argv[0]);
  for (int32_t i = 0; i < s->length(); ++i) s->units()[i] = argv[1].charCode();
  return in.unspecified();
}
static const Builtin kStringFill("string-fill!", stringFill, "sc");

}  // namespace scheme
