#include "scheme/value.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "scheme/environment.h"
#include "scheme/interpreter.h"
#include "scheme/objects.h"
#include "tests/scheme/scheme_test.h"

namespace {

using scheme::TypeCode;
using scheme::Value;
using scheme_test::Session;

TEST(Value, NumbersAreThirtyBitsAndWrap) {
  struct Case {
    int32_t given;
    int32_t held;
  } cases[] = {
      {0, 0},
      {1, 1},
      {-1, -1},
      {536870911, 536870911},
      {536870912, -536870912},  // bit 29 becomes the sign
      {-536870912, -536870912},
      {-536870913, 536870911},
      {1073741824, 0},
      {INT32_MAX, -1},
      {INT32_MIN, 0},
  };
  for (const Case& c : cases) {
    Value v = Value::makeNumber(c.given);
    EXPECT_TRUE(v.isNumber() && !v.isChar() && !v.isHost() && !v.isObject()) << c.given;
    EXPECT_EQ(c.held, v.number()) << c.given;
    EXPECT_EQ(TypeCode::Number, scheme::typeOf(v));
  }
  // The word itself: n * 4 + 1.
  EXPECT_EQ(static_cast<uint32_t>(-3), Value::makeNumber(-1).identity());
  EXPECT_EQ(21u, Value::makeNumber(5).identity());
  EXPECT_EQ(Value::makeNumber(536870912), Value::makeNumber(-536870912));
}

TEST(Value, CharactersAndHostImmediates) {
  EXPECT_EQ(262u, Value::makeChar(65).identity());
  EXPECT_EQ(20000, Value::makeChar(20000).charCode());
  EXPECT_EQ(0xFFFF, Value::makeChar(0x1FFFF).charCode());
  EXPECT_FALSE(Value::makeChar(0).isNone());
  EXPECT_EQ(TypeCode::Character, scheme::typeOf(Value::makeChar(0)));

  Value host = Value::makeHost(0x12345673u);
  EXPECT_TRUE(host.isHost() && !host.isObject() && !host.isNumber());
  EXPECT_EQ(0x12345673u, host.hostWord());
  EXPECT_EQ(host, Value::makeHost(0x12345673u));
  EXPECT_EQ(TypeCode::Host, scheme::typeOf(host));
  // No core type check accepts a host immediate.
  for (int code = 0; code <= 13; ++code)
    EXPECT_FALSE(scheme::isType(host, static_cast<TypeCode>(code))) << code;
  Session s;
  EXPECT_EQ(scheme_test::TopLevelReport("Wrong type: #<host:23>", "(test-add (test-host 5))"),
            s.errorReport("(test-add (test-host 5))"));
}

TEST(Value, TypeCodes) {
  struct Case {
    const char* source;
    int code;
  } cases[] = {
      {"'a", 0},         {"42", 1},  {"#f", 2},     {"#t", 2},   {"#\\a", 3},
      {"(if #f #f)", 4}, {"'()", 5}, {"\"s\"", 7},  {"'(1)", 8}, {"(lambda () 1)", 9},
      {"test-add", 11},  {"if", 12}, {"'#(1)", 13},
  };
  for (const auto& c : cases) {
    Session s;
    EXPECT_EQ(c.code, static_cast<int>(scheme::typeOf(s.run(c.source)))) << c.source;
  }
  Session s;
  EXPECT_EQ(6, static_cast<int>(scheme::typeOf(s.in().eof())));
  EXPECT_EQ(10, static_cast<int>(scheme::typeOf(
                    s.in().make<scheme::TopLevelFrame>(s.in().emptyList(), nullptr))));
}

TEST(Value, ConstructorsAndDefaultOperations) {
  Session s;
  scheme::Interpreter& in = s.in();
  const char16_t units[] = {u'h', u'i', u'!'};
  auto* str = scheme::as<scheme::String>(scheme::makeString(in, 2, units));
  EXPECT_EQ(u"hi", std::u16string(str->units()));  // copied, 0 after the last unit
  auto* blank = scheme::as<scheme::String>(scheme::makeString(in, 3, nullptr));
  EXPECT_EQ(3, blank->length());
  EXPECT_EQ(0, blank->units()[3]);
  auto* bytes = scheme::as<scheme::String>(scheme::makeStringFromBytes(in, "a\xE9"));
  EXPECT_EQ(std::u16string(u"a\u00E9"), std::u16string(bytes->units()));  // zero-extended
  auto* vector = scheme::as<scheme::Vector>(scheme::makeVector(in, 3, Value::makeNumber(7)));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Value::makeNumber(7), vector->items()[i]);
  EXPECT_EQ("#()", s.written(scheme::makeVector(in, 0, in.falseValue())));
  auto* pair = scheme::as<scheme::Pair>(scheme::cons(in, Value::makeNumber(1), in.emptyList()));
  EXPECT_EQ(Value::makeNumber(1), pair->car());
  EXPECT_EQ(in.emptyList(), pair->cdr());

  // Self-evaluation, and the defaults for calls and special-form calls.
  Value text = scheme::makeStringFromBytes(in, "s");
  EXPECT_EQ(text, in.force(text));
  EXPECT_EQ(text, in.tailEval(text));
  EXPECT_THROW(in.call(text, 0, nullptr), scheme_test::SchemeError);
  EXPECT_EQ("Not callable: \"s\"\n\n", s.out().text());
  s.out().clearReport();
  EXPECT_THROW(pair->applySyntax(in, in.emptyList(), pair), scheme_test::SchemeError);
  EXPECT_EQ("Internal error: (1)\n\n", s.out().text().substr(s.out().reportStart()));
}

// An object that notes its destruction.
class Probe : public scheme::Object {
 public:
  Probe(int id, std::vector<int>* log) : Object(TypeCode::Unspecified), id_(id), log_(log) {}
  ~Probe() override { log_->push_back(id_); }

 private:
  int id_;
  std::vector<int>* log_;
};

TEST(Interpreter, TeardownDestroysEveryObjectOnceNewestFirst) {
  std::vector<int> log;
  size_t made = 0;
  {
    Session s;
    scheme::Interpreter& in = s.in();
    size_t before = in.objectCount();
    for (int i = 0; i < 5; ++i) {
      in.make<Probe>(i, &log);
      s.run("(define (f) (lambda () 1)) (f) '(a b \"c\" #(d))");
    }
    made = in.objectCount() - before;
    EXPECT_TRUE(log.empty());
  }
  EXPECT_EQ((std::vector<int>{4, 3, 2, 1, 0}), log);
  EXPECT_GT(made, 5u);
}

TEST(Interpreter, ArenaCostOfValuesAndCalls) {
  Session s;
  scheme::Interpreter& in = s.in();
  // Arena blocks are 8-byte aligned, small and large alike.
  for (size_t bytes : {1u, 3u, 8u, 13u, 100000u, 5u}) {
    auto address = reinterpret_cast<uintptr_t>(in.allocate(bytes));
    EXPECT_EQ(0u, address % 8) << bytes;
  }
  size_t before = in.bytesAllocated();
  scheme::cons(in, in.emptyList(), in.emptyList());
  EXPECT_EQ(sizeof(scheme::Pair), in.bytesAllocated() - before);

  // A call costs its frame and one slot per parameter, nothing else; a
  // builtin call costs nothing; a tail loop costs two frames however long,
  // and nothing once frames of its size have been left.
  Value f = s.run("(lambda (a b) (test-add a b))");
  Value loop = s.run("(define (loop n) (if (test-num-eq n 0) 'done (loop (test-sub n 1)))) loop");
  Value args[2] = {Value::makeNumber(1), Value::makeNumber(2)};
  before = in.bytesAllocated();
  EXPECT_EQ(Value::makeNumber(3), in.call(f, 2, args));
  EXPECT_EQ(sizeof(scheme::CallFrame) + 2 * sizeof(Value), in.bytesAllocated() - before);
  Value add = s.run("test-add");
  before = in.bytesAllocated();
  in.call(add, 2, args);
  EXPECT_EQ(0u, in.bytesAllocated() - before);
  Value steps = Value::makeNumber(1000);
  before = in.bytesAllocated();
  in.call(loop, 1, &steps);
  EXPECT_EQ(2 * (sizeof(scheme::CallFrame) + sizeof(Value)), in.bytesAllocated() - before);
  steps = Value::makeNumber(100000);
  before = in.bytesAllocated();
  in.call(loop, 1, &steps);
  EXPECT_EQ(0u, in.bytesAllocated() - before);
}

}  // namespace
