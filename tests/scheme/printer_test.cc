#include "scheme/printer.h"

#include <gtest/gtest.h>

#include <iterator>
#include <regex>
#include <string>

#include "scheme/environment.h"
#include "scheme/interpreter.h"
#include "scheme/registry.h"
#include "tests/scheme/scheme_test.h"

namespace {

using scheme::Value;
using scheme_test::CaptureOutput;
using scheme_test::Eval;
using scheme_test::EvalError;
using scheme_test::Output;
using scheme_test::Session;

std::string Written(Session& s, Value v) {
  CaptureOutput port;
  scheme::write(s.in(), port, v);
  return port.text();
}

std::string Displayed(Session& s, Value v) {
  CaptureOutput port;
  scheme::display(s.in(), port, v);
  return port.text();
}

TEST(Printer, WriteForms) {
  struct Case {
    const char* source;
    const char* written;
  } cases[] = {
      {"#f", "#f"},
      {"#t", "#t"},
      {"(if #f #f)", "#<unspecified>"},
      {"'()", "'()"},
      {"'(1 \"a\" #\\b sym)", "(1 \"a\" #\\b sym)"},
      {"'(1 2 . 3)", "(1 2 . 3)"},
      {"'(1 . (2 . ()))", "(1 2)"},
      {"'(() (()) . ())", "('() ('()))"},
      {"'(1 . #(2))", "(1 . #(2))"},
      {"''x", "(quote x)"},
      {"'#(1 ())", "#(1 '())"},
      {"'#()", "#()"},
      {"'#(#() (a . b) \"s\")", "#(#() (a . b) \"s\")"},
      {"-42", "-42"},
      {"0", "0"},
      {"536870911", "536870911"},
      {"-536870912", "-536870912"},
      {"\"a\\\"b\\\\\"", "\"a\"b\\\""},  // no escaping on output
      {"#\\ ", "#\\ "},
      {"#\\\"", "#\\\""},
      {"'Sym", "sym"},
      {"test-add", "#<builtin: test-add>"},
      {"if", "#<syntax: if>"},
      {"(test-host 5)", "#<host:23>"},  // the host's form, through writeForeign
  };
  for (const Case& c : cases) EXPECT_EQ(c.written, Eval(c.source)) << c.source;

  Session s;
  EXPECT_EQ("#<end-of-file>", Written(s, s.in().eof()));
  EXPECT_EQ("#<none>", Written(s, Value()));
  EXPECT_EQ("#\\A", Written(s, Value::makeChar(65)));
  // Symbols are written as stored; only the reader folds case.
  EXPECT_EQ("Quote", Written(s, s.in().internName("Quote")));
  // Identities in radix 16, upper case; the closure's name is not shown.
  const std::regex hex("#<procedure: #x[0-9A-F]+>");
  std::string closure = Written(s, s.run("(define (f) 1) f"));
  EXPECT_TRUE(std::regex_match(closure, hex)) << closure;
  EXPECT_NE(closure, Written(s, s.run("(define (g) 1) g")));
  // Frames are not the printer's: the host declines them.
  auto* frame = s.in().make<scheme::TopLevelFrame>(Value::makeNumber(1), nullptr);
  std::string unknown = Written(s, frame);
  EXPECT_TRUE(std::regex_match(unknown, std::regex("#<unknown: #x[0-9A-F]+>"))) << unknown;
  // A special form without a name shows its identity instead.
  auto* anonymous = s.in().make<scheme::SpecialForm>(nullptr, nullptr);
  std::string syntax = Written(s, anonymous);
  EXPECT_TRUE(std::regex_match(syntax, std::regex("#<syntax: #x[0-9A-F]+>"))) << syntax;
}

TEST(Printer, Display) {
  Session s;
  Value list = s.run("'(1 \"a\" #\\b sym)");
  EXPECT_EQ("(1 \"a\" #\\b sym)", Displayed(s, list));  // elements are written
  EXPECT_EQ("a", Displayed(s, s.run("\"a\"")));
  EXPECT_EQ("b", Displayed(s, s.run("#\\b")));
  EXPECT_EQ("'()", Displayed(s, s.in().emptyList()));
  EXPECT_EQ("#<host:23>", Displayed(s, s.run("(test-host 5)")));
  EXPECT_EQ("x\"y", Output("(test-display \"x\\\"y\")"));
  EXPECT_EQ("\"x\"", Output("(test-write \"x\")"));

  // Hooks that display nothing themselves: display falls back to write,
  // which asks writeForeign.
  struct WriteOnlyHooks : scheme_test::TestHooks {
    bool displayForeign(scheme::OutputPort&, Value) override { return false; }
  } hooks;
  CaptureOutput out;
  scheme::Interpreter in(out, hooks);
  scheme::display(in, out, Value::makeHost(7));
  EXPECT_EQ("#<host:7>", out.text());
}

TEST(Printer, FormatInteger) {
  struct Case {
    int32_t n;
    int32_t radix;
    const char16_t* text;
  } cases[] = {
      {255, 16, u"FF"},
      {-5, 2, u"-101"},
      {0, 10, u"0"},
      {35, 36, u"Z"},
      {36, 36, u"10"},
      {-1, 10, u"-1"},
      {1000, 10, u"1000"},
      {536870911, 2, u"11111111111111111111111111111"},
      {2147483647, 16, u"7FFFFFFF"},
      {-2147483647, 36, u"-ZIK0ZJ"},
  };
  for (const Case& c : cases) {
    char16_t buffer[33];
    int32_t count = scheme::formatInteger(c.n, buffer, c.radix);
    EXPECT_EQ(std::u16string(c.text), std::u16string(buffer, count)) << c.n << " " << c.radix;
  }
}

TEST(Printer, CyclesAndDeepNestingAreCut) {
  // p1 -> p2 -> p3 -> p1. A cycle on the spine is found after a few steps
  // and the rest of that list prints as " ..."; the output goes on after it.
  const std::string ring =
      "(define p3 (test-list 3)) (define p2 (test-list 2)) (test-set-cdr! p2 p3)"
      "(define p1 (test-list 1)) (test-set-cdr! p1 p2) (test-set-cdr! p3 p1) ";
  EXPECT_EQ("(1 2 3 1 2 ...)", Eval(ring + "p1"));
  EXPECT_EQ("(a (1 2 3 1 2 ...) . #((1 2 3 1 2 ...)))",
            Eval(ring + "(define q2 (test-list p1)) (test-set-cdr! q2 (test-vector p1))"
                        "(define out (test-list 'a)) (test-set-cdr! out q2) out"));
  EXPECT_EQ("(1 ...)", Eval("(define one (test-list 1)) (test-set-cdr! one one) one"));

  // The error report names such a value and still ends.
  Session s;
  s.run(ring);
  EXPECT_EQ(scheme_test::TopLevelReport("Wrong type: (1 2 3 1 2 ...)", "(test-add p1)"),
            s.errorReport("(test-add p1)"));

  // A pair or vector met again while it is being printed further up prints
  // as "..."; shared structure that is no cycle prints whole.
  const char* setup =
      "(define x2 (test-list 2)) (define x (test-list 1)) (test-set-cdr! x x2)"
      "(test-set-car! x x) (test-set-car! x2 x)"
      "(define v (test-vector 1 2)) (test-vector-set! v 1 v)"
      "(define y3 (test-list 3)) (define y2 (test-list 2)) (test-set-cdr! y2 y3)"
      "(define y (test-list 1)) (test-set-cdr! y y2) (test-set-car! y3 y2)"
      "(define z (test-list 1)) (test-set-cdr! z (test-vector z))"
      "(define a (test-list 1)) ";
  const scheme_test::Case cycles[] = {
      {"x", "(... ...)"},
      {"v", "#(1 ...)"},
      {"(test-list x v x)", "((... ...) #(1 ...) (... ...))"},
      {"y", "(1 2 ...)"},  // the car points into the spine being printed
      {"z", "(1 . #(...))"},
      {"(test-list a a (test-vector a a))", "((1) (1) #((1) (1)))"},
  };
  for (const scheme_test::Case& c : cycles)
    EXPECT_EQ(c.expected, Eval(setup + std::string(c.source))) << c.source;

  // Nesting past the depth limit is cut there, the too-deep element printing
  // as "...".
  std::string deep;
  for (int i = 0; i < 10000; ++i) deep += "(";
  deep += "...";
  for (int i = 0; i < 10000; ++i) deep += ")";
  const char* nest =
      "(define (nest n x) (if (test-num-eq n 0) x (nest (test-sub n 1) (test-list x))))";
  EXPECT_EQ(deep, Eval(nest + std::string("(nest 10001 1)")));
  EXPECT_EQ(deep.substr(0, 9999) + "1" + deep.substr(10004),
            Eval(nest + std::string("(nest 9999 1)")));

  // A million-element list prints whole.
  std::string text = "'(";
  for (int i = 0; i < 1000000; ++i) text += "7 ";
  text += ")";
  std::string written = Eval(text);
  EXPECT_EQ(2000001u, written.size());
  EXPECT_EQ("(7 7 ", written.substr(0, 5));
  EXPECT_EQ(" 7 7)", written.substr(written.size() - 5));
}

}  // namespace
