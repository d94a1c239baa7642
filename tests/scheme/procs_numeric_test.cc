#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>

#include "scheme/registry.h"
#include "tests/scheme/scheme_test.h"

namespace {

using scheme_test::Case;
using scheme_test::Check;
using scheme_test::Eval;
using scheme_test::EvalError;
using scheme_test::TopLevelReport;

// The standard procedures, each registered exactly once with its argSpec:
// rows of {argSpec, names}.
TEST(Procs, RegisteredOnceWithTheirArgumentSpecs) {
  const Case rows[] = {
      {"..", "eqv? eq? equal? cons memq memv member assq assv assoc"},
      {".",
       "number? integer? not boolean? pair? null? list? length reverse symbol? char? string? "
       "list->string vector? list->vector procedure? write display"},
      {"nn*n", "= < > <= >="},
      {"n", "zero? positive? negative? odd? even? abs integer->char"},
      {"n*n", "max min - / number->string"},
      {"*n", "+ *"},
      {"nn", "remainder"},
      {"s", "string->number string->symbol string-length string->list string-copy"},
      {"p", "car cdr"},
      {"p.", "set-car! set-cdr!"},
      {"*.", "list vector"},
      {".*.", "append"},
      {".n", "list-tail list-ref"},
      {"S", "symbol->string"},
      {"cc",
       "char=? char<? char>? char<=? char>=? char-ci=? char-ci<? char-ci>? char-ci<=? "
       "char-ci>=?"},
      {"c",
       "char-alphabetic? char-numeric? char-whitespace? char->integer char-upcase "
       "char-downcase"},
      {"n*c", "make-string"},
      {"*c", "string"},
      {"sn", "string-ref"},
      {"snc", "string-set!"},
      {"ss",
       "string=? string<? string>? string<=? string>=? string-ci=? string-ci<? "
       "string-ci>? string-ci<=? string-ci>=?"},
      {"snn", "substring"},
      {"*s", "string-append"},
      {"sc", "string-fill!"},
      {"n*.", "make-vector"},
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
      {"(equal? '(1 (2 #(3 \"x\"))) '(1 (2 #(3 \"x\"))))", "#t"},
      {"(equal? '(1 (2 #(3 \"x\"))) '(1 (2 #(3 \"y\"))))", "#f"},
      {"(equal? '(1 2) '(1 2 3))", "#f"},
      {"(equal? '(1 2 . 3) '(1 2 . 4))", "#f"},
      {"(equal? '#(1 2) '#(1 2 3))", "#f"},
      {"(equal? 'a 'a)", "#t"},
      {"(equal? 2 \"2\")", "#f"},
      {"(equal? (lambda () 1) (lambda () 1))", "#f"},
      {"(eqv? '() '())", "#t"},
      {"(eq? #\\a #\\a)", "#t"},
      {"(eq? 100 100)", "#t"},
      {"(eqv? (list 1) (list 1))", "#f"},
      {"(let ((p (list 1))) (eq? p p))", "#t"},
  };
  Check(cases, std::size(cases));
}

// Chained comparisons test every later argument against the first.
TEST(ProcsNumeric, PredicatesAndComparisons) {
  const Case cases[] = {
      {"(number? 5)", "#t"},    {"(number? \"5\")", "#f"}, {"(integer? #\\3)", "#f"},
      {"(not #f)", "#t"},       {"(not '())", "#f"},       {"(boolean? #f)", "#t"},
      {"(boolean? '())", "#f"}, {"(< 1 3 2)", "#t"},       {"(< 3 1 2)", "#f"},
      {"(< 1 1)", "#f"},        {"(= 2 2 2)", "#t"},       {"(= 2 2 3)", "#f"},
      {"(> 5 1 3)", "#t"},      {"(> 5 6 3)", "#f"},       {"(>= 5 5 1)", "#t"},
      {"(>= 5 6)", "#f"},       {"(<= 1 1 5 2)", "#t"},    {"(<= 3 2)", "#f"},
      {"(zero? 0)", "#t"},      {"(zero? 1)", "#f"},       {"(positive? 0)", "#f"},
      {"(positive? 1)", "#t"},  {"(negative? 0)", "#f"},   {"(negative? -1)", "#t"},
      {"(odd? -3)", "#t"},      {"(even? -3)", "#f"},      {"(odd? 0)", "#f"},
      {"(even? -4)", "#t"},
  };
  Check(cases, std::size(cases));
}

// Results leave the 30-bit range by wrapping, never by an error.
TEST(ProcsNumeric, Arithmetic) {
  const Case cases[] = {
      {"(+)", "0"},
      {"(*)", "1"},
      {"(* 2 3 4)", "24"},
      {"(- 5)", "-5"},
      {"(- 10 1 2)", "7"},
      {"(/ 5)", "0"},
      {"(/ 7 2)", "3"},
      {"(/ -7 2)", "-3"},
      {"(/ 100 5 3)", "6"},
      {"(remainder -7 2)", "-1"},
      {"(remainder 7 -2)", "1"},
      {"(abs -7)", "7"},
      {"(max 3 -1 7)", "7"},
      {"(min 3)", "3"},
      {"(+ 536870911 1)", "-536870912"},
      {"(+ -536870912 -1)", "536870911"},
      {"(* 65536 65536)", "0"},
      {"(* 536870911 536870911)", "1"},
      {"(- -536870912)", "-536870912"},
      {"(abs -536870912)", "-536870912"},
      {"(+ 536870911 536870911 536870911 536870911 536870911)", "536870907"},
      {"(/ -536870912 -1 2)", "268435456"},
      {"(/ 5 1 0 2)", "!Division by zero: 0"},
      {"(remainder 5 0)", "!Division by zero: 0"},
      {"(=)", "!Wrong number of arguments: #<builtin: =>"},
      {"(< 1)", "!Wrong number of arguments: #<builtin: <>"},
      {"(max)", "!Wrong number of arguments: #<builtin: max>"},
      {"(< 1 2 #\\a)", "!Wrong type: #\\a"},
  };
  Check(cases, std::size(cases));
}

TEST(ProcsNumeric, Conversions) {
  const Case cases[] = {
      {"(number->string 0)", "\"0\""},
      {"(number->string -42)", "\"-42\""},
      {"(number->string 255 16)", "\"FF\""},
      {"(number->string -5 2)", "\"-101\""},
      {"(number->string 10 2 99)", "\"1010\""},
      {"(number->string 536870911 36)", "\"8VN08V\""},
      {"(number->string 10 1)", "!Bad radix: 1"},
      {"(number->string 10 37)", "!Bad radix: 37"},
      {"(string->number \"-42\")", "-42"},
      {"(string->number \"+7\")", "7"},
      {"(string->number \"-\")", "#f"},
      {"(string->number \"1.5\")", "#f"},
      {"(string->number \" 1\")", "#f"},
      {"(string->number \"--1\")", "#f"},
      {"(string->number \"\")", "0"},
      {"(string->number \"536870912\")", "-536870912"},
      {"(string->number \"4294967297\")", "1"},
      {"(string->number 5)", "!Wrong type: 5"},
  };
  Check(cases, std::size(cases));
}

// equal? handles long lists, and ends a nesting deeper than its limit or a
// pair of equal circular lists with a report.
TEST(ProcsNumeric, EqualOnLongDeepAndCircularStructure) {
  const std::string kBuild =
      "(define (nest n acc) (if (= n 0) acc (nest (- n 1) (list acc))))"
      "(define (long n) (vector->list (make-vector n 1)))"
      "(define c (list 1 2)) (set-cdr! (cdr c) c) (define d (list 1 2)) (set-cdr! (cdr d) d)";
  EXPECT_EQ("#t", Eval(kBuild + "(equal? (long 1000000) (long 1000000))"));
  EXPECT_EQ("#f", Eval(kBuild + "(equal? (long 1000000) (long 999999))"));
  EXPECT_EQ("#t", Eval(kBuild + "(equal? (nest 5000 1) (nest 5000 1))"));
  EXPECT_EQ("#f", Eval(kBuild + "(equal? (nest 5000 1) (nest 5000 2))"));
  EXPECT_EQ(TopLevelReport("Nesting too deep: 10000", "(equal? (nest 12000 1) (nest 12000 1))"),
            EvalError(kBuild + "(equal? (nest 12000 1) (nest 12000 1))"));
  // A car pointing back at its own pair nests without end.
  EXPECT_EQ(TopLevelReport("Nesting too deep: 10000", "(equal? a b)"),
            EvalError("(define a (list 1)) (set-car! a a) (define b (list 1)) (set-car! b b)"
                      "(equal? a b)"));
  // One circular spine ends where the other list ends or differs.
  EXPECT_EQ("#f", Eval(kBuild + "(equal? c '(1 2 1 2 1))"));
  EXPECT_EQ("#t", Eval(kBuild + "(equal? c c)"));
  EXPECT_EQ("#f", Eval(kBuild + "(set-car! d 0) (equal? c d)"));
  // Two equal circular spines: reported, naming the first.
  scheme_test::Session s;
  s.run(kBuild);
  EXPECT_EQ(TopLevelReport("Wrong type: " + s.written(s.run("c")), "(equal? c d)"),
            s.errorReport("(equal? c d)"));
}

}  // namespace
