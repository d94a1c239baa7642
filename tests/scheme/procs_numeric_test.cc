#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>

#include "scheme/registry.h"
#include "tests/scheme/scheme_test.h"

namespace {

using scheme_test::Eval;
using scheme_test::EvalError;

struct Case {
  const char* source;
  const char* expected;
};

void ExpectValues(const Case* cases, size_t count) {
  for (size_t i = 0; i < count; ++i)
    EXPECT_EQ(cases[i].expected, Eval(cases[i].source)) << cases[i].source;
}

// The report of an error raised by a builtin called from the top-level
// expression expr (as written back), on line 1 of the test source.
std::string Report(const std::string& head, const std::string& expr) {
  return head + "\n\neval " + expr + "\n    test(1): " + expr + "\n";
}

// The standard procedures, each registered exactly once with its argument
// spec: rows of {spec, names}.
TEST(Procs, RegisteredOnceWithTheirArgumentSpecs) {
  const Case rows[] = {
      // Numbers, booleans, equivalence.
      {"..", "eqv? eq? equal?"},
      {".", "number? integer? not boolean?"},
      {"nn*n", "= < > <= >="},
      {"n", "zero? positive? negative? odd? even? abs"},
      {"n*n", "max min - / number->string"},
      {"*n", "+ *"},
      {"nn", "remainder"},
      {"s", "string->number"},
      // Lists.
      {".", "pair? null? list? length reverse"},
      {"..", "cons memq memv member assq assv assoc"},
      {"p", "car cdr"},
      {"p.", "set-car! set-cdr!"},
      {"*.", "list"},
      {".*.", "append"},
      {".n", "list-tail list-ref"},
      // Characters, strings, symbols.
      {".", "symbol? char? string? list->string"},
      {"S", "symbol->string"},
      {"s", "string->symbol string-length string->list string-copy"},
      {"cc",
       "char=? char<? char>? char<=? char>=? char-ci=? char-ci<? char-ci>? char-ci<=? "
       "char-ci>=?"},
      {"c",
       "char-alphabetic? char-numeric? char-whitespace? char->integer char-upcase "
       "char-downcase"},
      {"n", "integer->char"},
      {"n*c", "make-string"},
      {"*c", "string"},
      {"sn", "string-ref"},
      {"snc", "string-set!"},
      {"ss",
       "string=? string<? string>? string<=? string>=? string-ci=? string-ci<? string-ci>? "
       "string-ci<=? string-ci>=?"},
      {"snn", "substring"},
      {"*s", "string-append"},
      {"sc", "string-fill!"},
      // Vectors, control, output.
      {".", "vector? list->vector procedure? write display"},
      {"n*.", "make-vector"},
      {"*.", "vector"},
      {"v", "vector-length vector->list"},
      {"vn", "vector-ref"},
      {"vn.", "vector-set!"},
      {"v.", "vector-fill!"},
      {"..*.", "apply map for-each"},
      {"", "newline"},
  };
  int total = 0;
  for (const Case& row : rows) {
    std::istringstream names(row.expected);
    for (std::string name; names >> name; ++total) {
      int found = 0;
      for (const scheme::Builtin* b = scheme::Builtin::head(); b; b = b->link()) {
        if (name != b->name()) continue;
        ++found;
        EXPECT_STREQ(row.source, b->argSpec()) << name;
      }
      EXPECT_EQ(1, found) << name;
    }
  }
  EXPECT_EQ(106, total);
}

TEST(ProcsNumeric, Equivalence) {
  const Case cases[] = {
      {"(eqv? \"a\" \"a\")", "#f"},
      {"(eq? \"a\" \"a\")", "#f"},
      {"(equal? \"a\" \"a\")", "#t"},
      {"(equal? \"a\" \"A\")", "#f"},
      {"(equal? \"ab\" \"abc\")", "#f"},
      {"(equal? '(1 (2 #(3 \"x\"))) '(1 (2 #(3 \"x\"))))", "#t"},
      {"(equal? '(1 (2 #(3 \"x\"))) '(1 (2 #(3 \"y\"))))", "#f"},
      {"(equal? '(1 2) '(1 2 3))", "#f"},
      {"(equal? '(1 2 . 3) '(1 2 . 3))", "#t"},
      {"(equal? '(1 2 . 3) '(1 2 . 4))", "#f"},
      {"(equal? '#(1 2) '#(1 2 3))", "#f"},
      {"(equal? '#() '#())", "#t"},
      {"(equal? 'a 'a)", "#t"},
      {"(equal? 2 \"2\")", "#f"},
      {"(equal? #\\a #\\a)", "#t"},
      {"(equal? car car)", "#t"},
      {"(equal? (lambda () 1) (lambda () 1))", "#f"},
      {"(eqv? '() '())", "#t"},
      {"(eq? #\\a #\\a)", "#t"},
      {"(eq? 100 100)", "#t"},
      {"(eqv? 100 101)", "#f"},
      {"(eqv? (list 1) (list 1))", "#f"},
      {"(let ((p (list 1))) (eq? p p))", "#t"},
      {"(eqv? #t #t)", "#t"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsNumeric, KindPredicatesAndNot) {
  const Case cases[] = {
      {"(number? 5)", "#t"},     {"(number? \"5\")", "#f"}, {"(integer? -3)", "#t"},
      {"(integer? #\\3)", "#f"}, {"(not #f)", "#t"},        {"(not '())", "#f"},
      {"(not 0)", "#f"},         {"(boolean? #t)", "#t"},   {"(boolean? #f)", "#t"},
      {"(boolean? '())", "#f"},  {"(boolean? 0)", "#f"},
  };
  ExpectValues(cases, std::size(cases));
}

// Every later argument is compared with the first, not with its neighbour.
TEST(ProcsNumeric, ChainedComparisonsUseTheFirstArgument) {
  const Case cases[] = {
      {"(< 1 3 2)", "#t"},
      {"(< 3 1 2)", "#f"},
      {"(< 1 1)", "#f"},
      {"(= 2 2 2)", "#t"},
      {"(= 2 2 3)", "#f"},
      {"(> 5 1 3)", "#t"},
      {"(> 5 6 3)", "#f"},
      {"(>= 5 5 1)", "#t"},
      {"(>= 5 6)", "#f"},
      {"(<= 1 1 5 2)", "#t"},
      {"(<= 3 2)", "#f"},
      {"(< -5 0)", "#t"},
      {"(> 536870911 -536870912)", "#t"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsNumeric, SignAndParityTests) {
  const Case cases[] = {
      {"(zero? 0)", "#t"},     {"(zero? 1)", "#f"},      {"(positive? 1)", "#t"},
      {"(positive? 0)", "#f"}, {"(negative? -1)", "#t"}, {"(negative? 0)", "#f"},
      {"(odd? -3)", "#t"},     {"(even? -3)", "#f"},     {"(odd? 0)", "#f"},
      {"(even? -4)", "#t"},    {"(odd? 7)", "#t"},       {"(even? 10)", "#t"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsNumeric, Arithmetic) {
  const Case cases[] = {
      {"(+)", "0"},
      {"(*)", "1"},
      {"(+ 1 2 3)", "6"},
      {"(* 2 3 4)", "24"},
      {"(- 5)", "-5"},
      {"(- 10 1 2)", "7"},
      {"(/ 5)", "0"},
      {"(/ 1)", "0"},
      {"(/ 7 2)", "3"},
      {"(/ -7 2)", "-3"},
      {"(/ 7 -2)", "-3"},
      {"(/ 100 5 3)", "6"},
      {"(remainder -7 2)", "-1"},
      {"(remainder 7 -2)", "1"},
      {"(remainder 7 2)", "1"},
      {"(abs -7)", "7"},
      {"(abs 7)", "7"},
      {"(max 3 -1 7)", "7"},
      {"(max -4)", "-4"},
      {"(min 3)", "3"},
      {"(min 3 -1 7)", "-1"},
  };
  ExpectValues(cases, std::size(cases));
}

// Results leave the 30-bit range by wrapping, never by an error.
TEST(ProcsNumeric, ResultsWrapInto30Bits) {
  const Case cases[] = {
      {"(+ 536870911 1)", "-536870912"},
      {"(+ -536870912 -1)", "536870911"},
      {"(* 65536 65536)", "0"},
      {"(* 65536 16384)", "0"},
      {"(* 536870911 536870911)", "1"},
      {"(- -536870912 1)", "536870911"},
      {"(- -536870912)", "-536870912"},
      {"(abs -536870912)", "-536870912"},
      {"(+ 536870911 536870911 536870911 536870911 536870911)", "536870907"},
      {"(/ -536870912 -1)", "-536870912"},
      {"(/ -536870912 -1 2)", "268435456"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsNumeric, NumberToString) {
  const Case cases[] = {
      {"(number->string 0)", "\"0\""},
      {"(number->string -42)", "\"-42\""},
      {"(number->string 255 16)", "\"FF\""},
      {"(number->string -5 2)", "\"-101\""},
      {"(number->string 10 2 99)", "\"1010\""},
      {"(number->string 35 36)", "\"Z\""},
      {"(number->string -536870912 2)", "\"-100000000000000000000000000000\""},
      {"(number->string 536870911 36)", "\"8VN08V\""},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsNumeric, StringToNumber) {
  const Case cases[] = {
      {"(string->number \"-42\")", "-42"},      {"(string->number \"+7\")", "7"},
      {"(string->number \"0012\")", "12"},      {"(string->number \"-\")", "#f"},
      {"(string->number \"+\")", "#f"},         {"(string->number \"1.5\")", "#f"},
      {"(string->number \" 1\")", "#f"},        {"(string->number \"1 \")", "#f"},
      {"(string->number \"--1\")", "#f"},       {"(string->number \"1a\")", "#f"},
      {"(string->number \"\")", "0"},           {"(string->number \"536870912\")", "-536870912"},
      {"(string->number \"4294967297\")", "1"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsNumeric, Errors) {
  const Case cases[] = {
      {"(/ 5 0)", "Division by zero: 0"},
      {"(/ 5 1 0 2)", "Division by zero: 0"},
      {"(remainder 5 0)", "Division by zero: 0"},
      {"(number->string 10 1)", "Bad radix: 1"},
      {"(number->string 10 37)", "Bad radix: 37"},
      {"(number->string 10 -16)", "Bad radix: -16"},
      {"(=)", "Wrong number of arguments: #<builtin: =>"},
      {"(< 1)", "Wrong number of arguments: #<builtin: <>"},
      {"(max)", "Wrong number of arguments: #<builtin: max>"},
      {"(remainder 1 2 3)", "Wrong number of arguments: #<builtin: remainder>"},
      {"(+ 1 #t)", "Wrong type: #t"},
      {"(< 1 2 #\\a)", "Wrong type: #\\a"},
      {"(string->number 5)", "Wrong type: 5"},
  };
  for (const Case& c : cases) EXPECT_EQ(Report(c.expected, c.source), EvalError(c.source));
}

// equal? walks long lists along the cdrs without recursion, and stops a deep
// nesting over cars or a pair of circular lists with a report.
TEST(ProcsNumeric, EqualOnLongDeepAndCircularStructure) {
  const char* kBuild =
      "(define (iota n acc) (if (= n 0) acc (iota (- n 1) (cons n acc))))"
      "(define (nest n acc) (if (= n 0) acc (nest (- n 1) (list acc))))";
  EXPECT_EQ("#t", Eval(std::string(kBuild) + "(equal? (iota 1000000 '()) (iota 1000000 '()))"));
  EXPECT_EQ("#f", Eval(std::string(kBuild) + "(equal? (iota 1000000 '()) (iota 999999 '()))"));
  EXPECT_EQ("#t", Eval(std::string(kBuild) + "(equal? (nest 5000 1) (nest 5000 1))"));
  EXPECT_EQ("#f", Eval(std::string(kBuild) + "(equal? (nest 5000 1) (nest 5000 2))"));
  EXPECT_EQ(Report("Nesting too deep: 10000", "(equal? (nest 100000 1) (nest 100000 1))"),
            EvalError(std::string(kBuild) + "(equal? (nest 100000 1) (nest 100000 1))"));

  // A car pointing back at its own pair nests without end.
  EXPECT_EQ(Report("Nesting too deep: 10000", "(equal? a b)"),
            EvalError("(define a (list 1)) (set-car! a a) (define b (list 1)) (set-car! b b)"
                      "(equal? a b)"));
  // One circular spine against a proper list ends at the proper list's end.
  EXPECT_EQ("#f", Eval("(define a (list 1 2)) (set-cdr! (cdr a) a) (equal? a '(1 2 1 2 1))"));
  EXPECT_EQ("#t", Eval("(define a (list 1 2)) (set-cdr! (cdr a) a) (equal? a a)"));
  EXPECT_EQ("#f", Eval("(define a (list 1 2)) (set-cdr! (cdr a) a)"
                       "(define b (list 1 3)) (set-cdr! (cdr b) b) (equal? a b)"));

  // Two equal circular spines: reported, naming the first.
  scheme_test::Session s;
  s.run("(define a (list 1 2)) (set-cdr! (cdr a) a) (define b (list 1 2)) (set-cdr! (cdr b) b)");
  std::string culprit = s.written(s.run("a"));
  size_t before = s.out().text().size();
  EXPECT_THROW(s.run("(equal? a b)"), scheme_test::SchemeError);
  EXPECT_EQ(Report("Wrong type: " + culprit, "(equal? a b)"), s.out().text().substr(before));
}

}  // namespace
