// The twelve special forms: values, evaluation order and every syntax check
// with its message and culprit.

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "tests/scheme/scheme_test.h"

namespace {

using scheme_test::Case;
using scheme_test::Check;
using scheme_test::Eval;
using scheme_test::EvalError;
using scheme_test::Output;
using scheme_test::Session;
using scheme_test::TopLevelReport;

// A syntax error in a top-level form: the report names the culprit and shows
// the form (written back) as the top-level frame's expression.
struct ErrorCase {
  const char* source;
  const char* head;  // message, ": " and the culprit
};

void ExpectTopLevelErrors(const ErrorCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    std::string expr = Eval(std::string("(quote ") + cases[i].source + ")");
    EXPECT_EQ(TopLevelReport(cases[i].head, expr), EvalError(cases[i].source)) << cases[i].source;
  }
}

TEST(SpecialForms, QuoteDefineLambda) {
  const Case cases[] = {
      {"(quote x)", "x"},
      {"'(1 . 2)", "(1 . 2)"},
      {"''x", "(quote x)"},
      {"(quote nowhere)", "nowhere"},  // a symbol result is never evaluated
      {"(define x 5) x", "5"},
      {"(define x 5)", "#<unspecified>"},
      {"(define x 1) (define x 2) x", "2"},
      {"(define (f . args) args) (f 1 2)", "(1 2)"},
      {"(define (f) (define (g) 1) (g)) (f)", "1"},
      {"(define test-add 7) test-add", "7"},  // builtins may be replaced
      {"(define (f) nowhere) 1", "1"},        // the body is not examined
      {"((lambda (x) (test-add x x)) 4)", "8"},
      {"(define f (lambda () 1)) (f)", "1"},
      // define is allowed anywhere directly in a top-level frame.
      {"(begin (define a 1) (define b 2)) (test-add a b)", "3"},
      {"(if #t (define a 3)) a", "3"},
      {"(and (define a 4)) a", "4"},
      {"(cond (#t (define a 5))) a", "5"},
      {"(case 1 ((1) (define a 6))) a", "6"},
  };
  Check(cases, std::size(cases));
  // A lambda with an empty body is made; calling it reports the empty body.
  EXPECT_EQ(0u, EvalError("((lambda (x)) 1)").find("Wrong type: '()\n\n"));
  EXPECT_EQ("#t", Eval("(define f (lambda (x))) #t"));

  const ErrorCase errors[] = {
      {"(quote)", "Wrong type: '()"},
      {"(quote 1 2)", "Bad quote syntax: (quote 1 2)"},
      {"(quote . 1)", "Wrong type: 1"},
      {"(define)", "Wrong type: '()"},
      {"(define x)", "Wrong type: '()"},
      {"(define x 1 2)", "Bad define syntax: (define x 1 2)"},
      {"(define 5 1)", "Wrong type: 5"},
      {"(define (5) 1)", "Wrong type: 5"},
      {"(define (f 1) 1)", "Bad formal list for lambda: (1)"},
      {"(lambda)", "Wrong type: '()"},
      {"(lambda (a 1) a)", "Bad formal list for lambda: (a 1)"},
      {"(lambda (a \"b\" . c) a)", "Bad formal list for lambda: (a \"b\" . c)"},
  };
  ExpectTopLevelErrors(errors, std::size(errors));

  // Definitions that are not leading ones are refused; the form is named.
  Session s;
  s.run("(define (f) 1 (define a 2) a)");
  std::string f = s.written(s.run("f"));
  EXPECT_EQ(
      "Define not allowed here: (define a 2)\n\n"
      "f " +
          f +
          "\n"
          "    test(1): (define a 2)\n"
          "eval (f)\n"
          "    test(1): (f)\n",
      s.errorReport("(f)"));
  EXPECT_EQ(0u, EvalError("(let ((x 1)) x (define y 2))").find("Define not allowed here"));
  // What was defined before an error stays defined.
  Session t;
  t.errorReport("(begin (define kept 1) (quote))");
  EXPECT_EQ("1", t.written(t.run("kept")));
}

TEST(SpecialForms, IfSetBegin) {
  const Case cases[] = {
      {"(if #t 1 2)", "1"},
      {"(if #f 1)", "#<unspecified>"},
      {"(if '() 'a 'b)", "a"},
      {"(if 0 'a 'b)", "a"},
      {"(if #f 1 2 3)", "3"},
      {"(set! fresh 5) fresh", "5"},
      {"(set! fresh 5)", "#<unspecified>"},
      {"(define x 1) (set! x 2) x", "2"},
      {"(define x 1) ((lambda (x) (set! x 9) x) 3)", "9"},
      {"(define x 1) ((lambda (y) (set! x 9) y) 3) x", "9"},
      {"(define x 1) (let ((x 2)) (set! x 3)) x", "1"},
      {"(begin 1 2 3)", "3"},
      {"(begin 'nowhere)", "nowhere"},
  };
  Check(cases, std::size(cases));
  EXPECT_EQ("23", Output("(if #f (test-display 1) (test-display 2) (test-display 3))"));
  EXPECT_EQ("12", Output("(begin (test-display 1) (test-display 2))"));

  const ErrorCase errors[] = {
      {"(if)", "Wrong type: '()"},
      {"(if #t)", "Wrong type: '()"},
      {"(if #f 1 . 2)", "Wrong type: 2"},
      {"(set!)", "Wrong type: '()"},
      {"(set! x)", "Wrong type: '()"},
      {"(set! 5 1)", "Wrong type: 5"},
      {"(set! x 1 2)", "Bad set! syntax: (set! x 1 2)"},
      {"(begin)", "Wrong type: '()"},
      {"(begin 1 . 2)", "Wrong type: 2"},
  };
  ExpectTopLevelErrors(errors, std::size(errors));
}

TEST(SpecialForms, AndOr) {
  const Case cases[] = {
      {"(and)", "#t"},
      {"(or)", "#f"},
      {"(and 1 2)", "2"},
      {"(and 1 #f 2)", "#f"},
      {"(or #f 3 (test-car '()))", "3"},
      {"(or #f #f)", "#f"},
      {"(and '() 0)", "0"},
      {"(or 'nowhere)", "nowhere"},
  };
  Check(cases, std::size(cases));
  EXPECT_EQ("12", Output("(and (test-display 1) (test-display 2) #f (test-display 3))"));
  EXPECT_EQ("", Output("(or 1 (test-display 2))"));
  const ErrorCase errors[] = {
      {"(and 1 . 2)", "Wrong type: 2"},
      {"(or #f . 2)", "Wrong type: 2"},
  };
  ExpectTopLevelErrors(errors, std::size(errors));
}

TEST(SpecialForms, Cond) {
  const Case cases[] = {
      {"(cond (#f 1))", "#<unspecified>"},
      {"(cond)", "#<unspecified>"},
      {"(cond (7))", "7"},
      {"(cond (#f 1) (else 2))", "2"},
      {"(cond (#f 1) (ELSE 2))", "2"},
      {"(cond (1 2 3))", "3"},
      {"(cond ((test-car '((2 . b))) => (lambda (p) p)))", "(2 . b)"},
      {"(cond (#f => nowhere) (else 'skipped))", "skipped"},
      {"(cond ('x => test-list))", "(x)"},
      // The variable named else is never consulted.
      {"(define else #f) (cond (else 1))", "1"},
      {"(define (f else) (cond (else 'kw))) (f #f)", "kw"},
  };
  Check(cases, std::size(cases));
  EXPECT_EQ("12", Output("(cond ((test-display 1) (test-display 2)))"));

  const ErrorCase errors[] = {
      {"(cond (else 1) (#t 2))", "Else must be last clause in cond: (cond (else 1) (#t 2))"},
      {"(cond (else))", "Wrong type: '()"},
      {"(cond (#t =>))", "Wrong type: '()"},
      {"(cond (#t => test-list 1))", "Bad cond syntax: (cond (#t => test-list 1))"},
      {"(cond (#t => 5))", "Not callable: 5"},
      {"(cond ((test-add 1) => test-car))", "Wrong type: 1"},
      {"(cond 5)", "Wrong type: 5"},
      {"(cond (#f 1) . 5)", "Wrong type: 5"},
  };
  ExpectTopLevelErrors(errors, std::size(errors));
}

TEST(SpecialForms, Case) {
  const Case cases[] = {
      {"(case 3 ((1 2) 'low) ((3 4) 'mid) (else 'high))", "mid"},
      {"(case 9 ((1 2) 'low) ((3 4) 'mid) (else 'high))", "high"},
      {"(case 'x ((a) 1))", "#<unspecified>"},
      {"(case 'a ((b a) 1 2))", "2"},
      {"(case #\\a ((#\\a) 'char))", "char"},
      {"(case \"s\" ((\"s\") 'same) (else 'other))", "other"},  // eqv?, not equal?
      {"(case (test-add 1 1) ((2) 'two))", "two"},
      {"(case 1 (() 'never) (else 'e))", "e"},
  };
  Check(cases, std::size(cases));
  const ErrorCase errors[] = {
      {"(case)", "Wrong type: '()"},
      {"(case 1 ((1)))", "Wrong type: '()"},
      {"(case 1 (5 'x))", "Wrong type: 5"},
      {"(case 1 ((2 . 3) 'x))", "Wrong type: 3"},
      {"(case 1 (else 1) ((1) 2))", "Else must be last clause in cond: (case 1 (else 1) ((1) 2))"},
      {"(case 1 7)", "Wrong type: 7"},
  };
  ExpectTopLevelErrors(errors, std::size(errors));
}

TEST(SpecialForms, LetAndLetrec) {
  const Case cases[] = {
      {"(let ((x 1) (y 2)) (test-add x y))", "3"},
      {"(let ((x 1)) (let ((x 2) (y x)) y))", "1"},
      {"(let ((x 1) (x 2)) x)", "1"},
      {"(let ((x 1) (x 2)) (set! x 5) x)", "5"},
      {"(letrec ((even? (lambda (n) (if (test-num-eq n 0) #t (odd? (test-sub n 1)))))"
       " (odd? (lambda (n) (if (test-num-eq n 0) #f (even? (test-sub n 1))))))"
       " (even? 100))",
       "#t"},
      // letrec inits see the earlier variables' values and later ones unset.
      {"(letrec ((a 1) (b (test-add a 1))) b)", "2"},
      {"(letrec ((a b) (b 1)) a)", "#<unspecified>"},
      // Inits of let are evaluated outside the new frame.
      {"(define x 10) (let ((x 1) (y x)) y)", "10"},
      {"(let ((f (lambda () 'outer))) (let ((f (lambda () 'inner)) (g f)) (g)))", "outer"},
  };
  Check(cases, std::size(cases));
  EXPECT_EQ("12", Output("(let ((a (test-display 1)) (b (test-display 2))) 3)"));

  std::string bindings;
  for (int i = 0; i < 128; ++i)
    bindings += "(v" + std::to_string(i) + " " + std::to_string(i) + ")";
  EXPECT_EQ("127", Eval("(let (" + bindings + ") v127)"));
  EXPECT_EQ("127", Eval("(letrec (" + bindings + ") v127)"));
  std::string tooMany = "(let (" + bindings + "(v128 128)) v0)";
  std::string expr = Eval("(quote " + tooMany + ")");
  ASSERT_LT(1000u, expr.size());
  expr = expr.substr(0, 996) + " ...";  // values in a report are cut
  EXPECT_EQ(TopLevelReport("Too many let variables: " + expr, expr), EvalError(tooMany));
  // The 129th binding's shape is checked before its count.
  EXPECT_EQ(0u, EvalError("(let (" + bindings + "(5 128)) v0)").find("Wrong type: 5\n"));

  const ErrorCase errors[] = {
      {"(let)", "Wrong type: '()"},
      {"(let ((x 1)))", "Wrong type: '()"},
      {"(let () 1)", "Wrong type: '()"},
      {"(let loop ((i 0)) i)", "Wrong type: loop"},
      {"(let ((x 1 2)) x)", "Bad let syntax: (let ((x 1 2)) x)"},
      {"(let ((x)) x)", "Wrong type: '()"},
      {"(let ((5 1)) 1)", "Wrong type: 5"},
      {"(let (x) 1)", "Wrong type: x"},
      {"(let ((x 1) . 2) 1)", "Wrong type: 2"},
      {"(letrec ((x 1 2)) x)", "Bad let syntax: (letrec ((x 1 2)) x)"},
  };
  ExpectTopLevelErrors(errors, std::size(errors));
  // A let of only definitions has an empty rest of its body.
  EXPECT_EQ(0u, EvalError("(let ((x 1)) (define y 2))").find("Wrong type: '()\n"));
}

TEST(SpecialForms, KeywordsAreOrdinaryGlobalValues) {
  const Case cases[] = {
      {"(define my-if if) (my-if #f 1 2)", "2"},
      {"(define (f if) (if 1 2)) (f test-list)", "(1 2)"},
      {"((lambda (quote) (quote 1 2)) test-add)", "3"},
      {"(let ((begin test-list)) (begin 1 2))", "(1 2)"},
      {"if", "#<syntax: if>"},
      {"(define if 5) if", "5"},
  };
  Check(cases, std::size(cases));
  EXPECT_EQ(TopLevelReport("Not callable: 5", "(if 1 2 3)"), EvalError("(define if 5) (if 1 2 3)"));
}

}  // namespace
