#include "scheme/symbol.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "scheme/environment.h"
#include "scheme/interpreter.h"
#include "scheme/registry.h"
#include "tests/scheme/scheme_test.h"

namespace {

using scheme::Symbol;
using scheme::Value;
using scheme_test::Eval;
using scheme_test::EvalError;
using scheme_test::Session;

TEST(Symbol, BucketOfTheSignedByteHash) {
  struct Case {
    const char16_t* name;
    uint32_t bucket;
  } cases[] = {
      {u"a", 59},    // hash 3007
      {u"car", 24},  // hash 2837179210: the unsigned remainder
      {u"quote", 17},  {u"define", 21}, {u"else", 22},
      {u"=>", 56},     {u"\u00E9", 57},  // the byte 0xE9 counts as -23
      {u"\uFFE9", 56},                   // both bytes negative
      {u"\u4142", 34},                   // the low byte first
  };
  for (const Case& c : cases) {
    std::u16string name(c.name);
    EXPECT_EQ(c.bucket, scheme::symbolHash(name.data(), static_cast<int32_t>(name.size())) % 67);
  }
}

TEST(Symbol, OneSymbolPerName) {
  Session s;
  scheme::Interpreter& in = s.in();
  Symbol* ab = in.intern(2, u"ab");
  EXPECT_EQ(ab, in.intern(2, u"ab"));
  EXPECT_NE(ab, in.intern(3, u"abc"));
  EXPECT_NE(ab, in.intern(1, u"a"));
  EXPECT_EQ(u"ab", std::u16string(ab->nameString()->units()));
  EXPECT_TRUE(ab->globalValue().isNone());

  EXPECT_EQ(in.quoteSymbol(), in.internName("quote"));
  EXPECT_NE(in.quoteSymbol(), in.internName("Quote"));  // no case folding here
  EXPECT_EQ(in.arrowSymbol(), in.intern(2, u"=>"));
  EXPECT_EQ(in.elseSymbol(), in.internName("else"));
  EXPECT_EQ(in.defineSymbol(), in.internName("define"));
  EXPECT_EQ(Value(in.internName("car")), s.run("'Car"));  // the reader folds

  // Bytes are sign-extended by internName.
  Symbol* high = in.internName("\xE9");
  EXPECT_EQ(0xFFE9, high->nameString()->units()[0]);
  EXPECT_NE(high, in.intern(1, u"\u00E9"));

  // Many symbols share each of the 67 buckets; every one stays distinct.
  std::vector<Symbol*> made;
  for (int i = 0; i < 2000; ++i) made.push_back(in.internName(("s" + std::to_string(i)).c_str()));
  for (int i = 0; i < 2000; ++i) {
    ASSERT_EQ(made[i], in.internName(("s" + std::to_string(i)).c_str()));
    if (i > 0) {
      ASSERT_NE(made[i], made[i - 1]);
    }
  }
}

TEST(Symbol, TheTableGrowsAndKeepsEverySymbol) {
  Session s;
  scheme::Interpreter& in = s.in();
  Symbol* quote = in.quoteSymbol();
  std::vector<Symbol*> made;
  for (int i = 0; i < 20000; ++i) made.push_back(in.internName(("n" + std::to_string(i)).c_str()));
  for (int i = 0; i < 20000; ++i)
    ASSERT_EQ(made[i], in.internName(("n" + std::to_string(i)).c_str())) << i;
  EXPECT_EQ(quote, in.internName("quote"));
  EXPECT_EQ(Value(made[123]), s.run("'n123"));
}

TEST(Symbol, NamesUpTo127Characters) {
  Session s;
  std::string name(127, 'n');
  EXPECT_EQ(127, s.in().internName(name.c_str())->nameString()->length());
  name += "n";
  EXPECT_THROW(s.in().internName(name.c_str()), scheme_test::SchemeError);
  EXPECT_EQ("Symbol too long: #<none>\n\n", s.out().text());
}

TEST(Symbol, UnboundNames) {
  EXPECT_EQ(scheme_test::TopLevelReport("Undefined symbol: nowhere", "(test-add nowhere)"),
            EvalError("(test-add nowhere)"));
}

// (test-frames): for each frame from the current one outwards, a vector of
// its kind, its procedure (or #f), its table's file name (or #f) and
// whether it is its own top level.
Value testFrames(scheme::Interpreter& in, int32_t, Value*) {
  static const char* kKinds[] = {"top", "call", "let", "body"};
  std::vector<Value> infos;
  for (scheme::Environment* f = in.currentFrame(); f != nullptr; f = f->parent()) {
    Value info = scheme::makeVector(in, 4, in.falseValue());
    Value* items = scheme::as<scheme::Vector>(info)->items();
    items[0] = in.internName(kKinds[static_cast<int>(f->kind())]);
    if (scheme::Closure* p = f->procedure()) items[1] = p;
    if (const scheme::SourceTable* t = f->sourceTable()) {
      std::string name(t->fileName.begin(), t->fileName.end());
      items[2] = scheme::makeStringFromBytes(in, name.c_str());
    }
    items[3] = in.boolean(f->topLevel() == f);
    infos.push_back(info);
  }
  Value list = in.emptyList();
  for (size_t i = infos.size(); i > 0; --i) list = scheme::cons(in, infos[i - 1], list);
  return list;
}
const scheme::Builtin kTestFrames("test-frames", testFrames, "");

TEST(Environment, WhatEachFrameAnswersFor) {
  Session s;
  s.run("(define (f) (let ((a 1)) (define b 2) (test-frames)))");
  std::string f = s.written(s.run("f"));
  // Let and body frames answer for the procedure and table of the frame
  // they were entered from; a top-level frame has no procedure.
  EXPECT_EQ("(#(body " + f + " \"test\" #f) #(let " + f + " \"test\" #f) #(call " + f +
                " \"test\" #f) #(top #f \"test\" #t))",
            s.written(s.run("(f)")));
  EXPECT_EQ("(#(let #f \"test\" #f) #(top #f \"test\" #t))",
            s.written(s.run("(let ((x 1)) (test-frames))")));
  // A closure called by the host runs with no frame below its own; a tail
  // call leaves the caller's frame before the callee's is entered.
  s.run("(define (g) (test-frames)) (define (h) (g))");
  std::string g = s.written(s.run("g"));
  EXPECT_EQ("(#(call " + g + " \"test\" #f))", s.written(s.in().call(s.run("h"), 0, nullptr)));
}

TEST(Environment, LookupAndAssignment) {
  struct Case {
    const char* source;
    const char* value;
  } cases[] = {
      // Lexical, not dynamic: a call frame hands on to its closure's frame.
      {"(define x 'global) (define (show) x) (define (caller x) (show)) (caller 'local)", "global"},
      {"(define x 'global) ((lambda (x) x) 'local)", "local"},
      {"(let ((a 1)) (let ((b 2)) (test-list a b)))", "(1 2)"},
      {"((let ((x 1)) (lambda () x)))", "1"},
      {"((lambda (a b . c) (test-list a b c)) 1 2 3 4)", "(1 2 (3 4))"},
      {"((lambda (x x) x) 1 2)", "1"},
      {"((lambda () (define (f) (g)) (define (g) 1) (f)))", "1"},
      // A let frame's names shadow the procedure's, and only inside it.
      {"((lambda (x) (test-list (let ((x 2)) x) x)) 1)", "(2 1)"},
      // Assignment goes to the innermost frame binding the name...
      {"((lambda (x) (let ((y 1)) (set! x 5)) x) 0)", "5"},
      {"(let ((x 0)) ((lambda () (set! x 6))) x)", "6"},
      {"((lambda () (define x 0) ((lambda () (set! x 7))) x))", "7"},
      {"((lambda (a . r) (set! r 8) r) 1 2)", "8"},
      // ...and to the global cell when no frame binds it.
      {"(define x 0) ((lambda (y) (set! x y)) 9) x", "9"},
      {"((lambda () (set! newly 10))) newly", "10"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value, Eval(c.source)) << c.source;
  // A local variable named like a special form shadows it in its scope.
  EXPECT_EQ("(1 2)", Eval("(define (f if) (if 1 2)) (f test-list)"));
  EXPECT_EQ("2", Eval("(define (f if) (if 1 2)) (f test-list) (if #f 1 2)"));
}

}  // namespace
