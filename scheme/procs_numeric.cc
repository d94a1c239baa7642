// Builtins on numbers, booleans and sameness, and structural equality.
//
// Numbers are 30-bit. Arithmetic runs on 32-bit words with wrap-around
// (through uint32_t, so overflow is never undefined) and makeNumber reduces
// the result into the 30-bit range: + - * agree modulo 2^30 whatever the
// intermediate wrap.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/bounds.h"
#include "scheme/interpreter.h"
#include "scheme/objects.h"
#include "scheme/printer.h"
#include "scheme/registry.h"
#include "scheme/relation.h"

namespace scheme {

namespace {

using pendra::kMaxEqualDepth;

// A comparison of two list spines or two vectors, suspended while a car or
// an item is compared. These live on a heap stack, so the nesting of the
// compared structure costs no native stack.
struct Suspended {
  Value a, b;     // the current cells of both spines, or the two vectors
  int32_t index;  // the item being compared; -1 for spines
  // Spines only: half-speed cursors that meet the walk on a cycle. When both
  // spines are circular and still equal the walk could never end, and the
  // first list is reported instead.
  Value slowA, slowB, listA;
  bool lagging, circularA, circularB;
};

bool sameUnits(const String* s, const String* t) {
  if (s->length() != t->length()) return false;
  for (int32_t i = 0; i < s->length(); ++i)
    if (s->units()[i] != t->units()[i]) return false;
  return true;
}

// Moves the innermost suspended comparison on, after its current part was
// found equal. Sets x and y to the next parts to compare and returns true,
// or returns false when every comparison is complete.
bool resume(Interpreter& in, std::vector<Suspended>& stack, Value& x, Value& y) {
  while (!stack.empty()) {
    Suspended& p = stack.back();
    if (p.index >= 0) {
      Vector* v = as<Vector>(p.a);
      if (++p.index < v->length()) {
        x = v->items()[p.index];
        y = as<Vector>(p.b)->items()[p.index];
        return true;
      }
      stack.pop_back();
      continue;
    }
    p.a = as<Pair>(p.a)->cdr();
    p.b = as<Pair>(p.b)->cdr();
    if (p.lagging) {
      p.slowA = as<Pair>(p.slowA)->cdr();
      p.slowB = as<Pair>(p.slowB)->cdr();
    }
    p.lagging = !p.lagging;
    p.circularA = p.circularA || (isPair(p.a) && p.a == p.slowA);
    p.circularB = p.circularB || (isPair(p.b) && p.b == p.slowB);
    if (p.circularA && p.circularB) in.error("Wrong type", p.listA);
    if (isPair(p.a) && isPair(p.b) && p.a != p.b) {
      x = as<Pair>(p.a)->car();
      y = as<Pair>(p.b)->car();
      return true;
    }
    // The tails decide for the whole spine.
    x = p.a;
    y = p.b;
    stack.pop_back();
    return true;
  }
  return false;
}

// Cars before cdrs and items in order, stopping at the first difference.
bool equalStructures(Interpreter& in, Value x, Value y) {
  std::vector<Suspended> stack;
  for (;;) {
    bool same = x == y;
    TypeCode type = typeOf(x);
    if (!same && type == typeOf(y)) {
      if (type == TypeCode::String) same = sameUnits(as<String>(x), as<String>(y));
      if (type == TypeCode::Pair || type == TypeCode::Vector) {
        if (stack.size() >= kMaxEqualDepth)
          in.error("Nesting too deep", Value::makeNumber(static_cast<int32_t>(kMaxEqualDepth)));
        if (type == TypeCode::Pair) {
          stack.push_back({x, y, -1, x, y, x, false, false, false});
          x = as<Pair>(x)->car();
          y = as<Pair>(y)->car();
          continue;
        }
        if (as<Vector>(x)->length() != as<Vector>(y)->length()) return false;
        if (as<Vector>(x)->length() > 0) {
          stack.push_back({x, y, 0, Value(), Value(), Value(), false, false, false});
          x = as<Vector>(x)->items()[0];
          y = as<Vector>(y)->items()[0];
          continue;
        }
        same = true;
      }
      // Numbers and characters are canonical words, equal only when the same
      // word; so is every other type.
    }
    if (!same) return false;
    if (!resume(in, stack, x, y)) return true;
  }
}

int32_t wrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t wrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
int32_t wrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

}  // namespace

bool isEqual(Interpreter& in, Value a, Value b) { return equalStructures(in, a, b); }

// ---- Equivalence and kinds ------------------------------------------------

static Value eqvP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(isEqv(argv[0], argv[1]));
}
static const Builtin kEqvP("eqv?", eqvP, "..");

static Value eqP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(argv[0] == argv[1]);
}
static const Builtin kEqP("eq?", eqP, "..");

static Value equalP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(isEqual(in, argv[0], argv[1]));
}
static const Builtin kEqualP("equal?", equalP, "..");

// Every number is an integer and nothing else is, so both names share one test.
static Value numberP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(argv[0].isNumber());
}
static const Builtin kNumberP("number?", numberP, ".");
static const Builtin kIntegerP("integer?", numberP, ".");

static Value notP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(argv[0] == in.falseValue());
}
static const Builtin kNot("not", notP, ".");

static Value booleanP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(isType(argv[0], TypeCode::Boolean));
}
static const Builtin kBooleanP("boolean?", booleanP, ".");

// ---- Comparison -----------------------------------------------------------

// Every later argument is compared with the first, not with its neighbour.
// Differences of two 30-bit numbers fit in 32 bits.
template <Relation r>
static Value compareWithFirst(Interpreter& in, int32_t argc, Value* argv) {
  int32_t first = argv[0].number();
  for (int32_t i = 1; i < argc; ++i)
    if (!holds<r>(first - argv[i].number())) return in.falseValue();
  return in.trueValue();
}
static const Builtin kNumEqual("=", compareWithFirst<Relation::kEqual>, "nn*n");
static const Builtin kNumLess("<", compareWithFirst<Relation::kLess>, "nn*n");
static const Builtin kNumGreater(">", compareWithFirst<Relation::kGreater>, "nn*n");
static const Builtin kNumLessEqual("<=", compareWithFirst<Relation::kLessEqual>, "nn*n");
static const Builtin kNumGreaterEqual(">=", compareWithFirst<Relation::kGreaterEqual>, "nn*n");

static Value zeroP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(argv[0].number() == 0);
}
static const Builtin kZeroP("zero?", zeroP, "n");

static Value positiveP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(argv[0].number() > 0);
}
static const Builtin kPositiveP("positive?", positiveP, "n");

static Value negativeP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(argv[0].number() < 0);
}
static const Builtin kNegativeP("negative?", negativeP, "n");

static Value oddP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(argv[0].number() % 2 != 0);
}
static const Builtin kOddP("odd?", oddP, "n");

static Value evenP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(argv[0].number() % 2 == 0);
}
static const Builtin kEvenP("even?", evenP, "n");

static Value maximum(Interpreter& in, int32_t argc, Value* argv) {
  int32_t best = argv[0].number();
  for (int32_t i = 1; i < argc; ++i)
    if (argv[i].number() > best) best = argv[i].number();
  return Value::makeNumber(best);
}
static const Builtin kMax("max", maximum, "n*n");

static Value minimum(Interpreter& in, int32_t argc, Value* argv) {
  int32_t best = argv[0].number();
  for (int32_t i = 1; i < argc; ++i)
    if (argv[i].number() < best) best = argv[i].number();
  return Value::makeNumber(best);
}
static const Builtin kMin("min", minimum, "n*n");

// ---- Arithmetic -----------------------------------------------------------

static Value add(Interpreter& in, int32_t argc, Value* argv) {
  int32_t sum = 0;
  for (int32_t i = 0; i < argc; ++i) sum = wrapAdd(sum, argv[i].number());
  return Value::makeNumber(sum);
}
static const Builtin kAdd("+", add, "*n");

static Value multiply(Interpreter& in, int32_t argc, Value* argv) {
  int32_t product = 1;
  for (int32_t i = 0; i < argc; ++i) product = wrapMul(product, argv[i].number());
  return Value::makeNumber(product);
}
static const Builtin kMultiply("*", multiply, "*n");

static Value subtract(Interpreter& in, int32_t argc, Value* argv) {
  if (argc == 1) return Value::makeNumber(wrapSub(0, argv[0].number()));
  int32_t rest = argv[0].number();
  for (int32_t i = 1; i < argc; ++i) rest = wrapSub(rest, argv[i].number());
  return Value::makeNumber(rest);
}
static const Builtin kSubtract("-", subtract, "n*n");

// Truncating division, left to right; one argument yields 0. The running
// value starts as a 30-bit number and only shrinks in magnitude, except that
// -2^29 / -1 gives 2^29, which still fits: no INT32_MIN / -1 can arise.
static Value divide(Interpreter& in, int32_t argc, Value* argv) {
  if (argc == 1) return Value::makeNumber(0);
  int32_t quotient = argv[0].number();
  for (int32_t i = 1; i < argc; ++i) {
    int32_t d = argv[i].number();
    if (d == 0) in.error("Division by zero", argv[i]);
    quotient /= d;
  }
  return Value::makeNumber(quotient);
}
static const Builtin kDivide("/", divide, "n*n");

static Value absolute(Interpreter& in, int32_t argc, Value* argv) {
  int32_t n = argv[0].number();
  return Value::makeNumber(n < 0 ? wrapSub(0, n) : n);
}
static const Builtin kAbs("abs", absolute, "n");

static Value remainder(Interpreter& in, int32_t argc, Value* argv) {
  int32_t d = argv[1].number();
  if (d == 0) in.error("Division by zero", argv[1]);
  return Value::makeNumber(argv[0].number() % d);
}
static const Builtin kRemainder("remainder", remainder, "nn");

// ---- Conversion -----------------------------------------------------------

// The radix is the second argument when given; any further ones are ignored.
static Value numberToString(Interpreter& in, int32_t argc, Value* argv) {
  int32_t radix = 10;
  if (argc > 1) {
    radix = argv[1].number();
    if (radix < 2 || radix > 36) in.error("Bad radix", argv[1]);
  }
  char16_t digits[64];
  int32_t count = formatInteger(argv[0].number(), digits, radix);
  return makeString(in, count, digits);
}
static const Builtin kNumberToString("number->string", numberToString, "n*n");

// Decimal with an optional sign; #f for anything else. The empty string has
// no offending unit and yields 0.
static Value stringToNumber(Interpreter& in, int32_t argc, Value* argv) {
  const String* s = as<String>(argv[0]);
  const char16_t* p = s->units();
  const char16_t* end = p + s->length();
  bool negative = false;
  if (p < end && (*p == u'-' || *p == u'+')) {
    negative = *p == u'-';
    ++p;
    if (p == end) return in.falseValue();
  }
  uint32_t value = 0;
  for (; p < end; ++p) {
    if (*p < u'0' || *p > u'9') return in.falseValue();
    value = value * 10u + static_cast<uint32_t>(*p - u'0');
  }
  if (negative) value = 0u - value;
  return Value::makeNumber(static_cast<int32_t>(value));
}
static const Builtin kStringToNumber("string->number", stringToNumber, "s");

}  // namespace scheme
