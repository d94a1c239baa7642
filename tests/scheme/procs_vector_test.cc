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
using scheme_test::TopLevelReport;

// A quoted list of the numbers from..to as source text.
std::string NumberList(int from, int to) {
  std::string text = "'(";
  for (int i = from; i <= to; ++i) text += std::to_string(i) + (i < to ? " " : "");
  return text + ")";
}

TEST(ProcsVector, Vectors) {
  const Case cases[] = {
      {"(vector? '#(1))", "#t"},
      {"(make-vector 2)", "#(#<unspecified> #<unspecified>)"},
      {"(make-vector 2 'a 'b)", "#(a a)"},
      {"(vector)", "#()"},
      {"(vector 1 '() \"s\")", "#(1 '() \"s\")"},
      {"(vector-length '#(1 2 3))", "3"},
      {"(vector-ref '#(1 2) 1)", "2"},
      {"(define v (make-vector 3 0)) (vector-set! v 0 'x) v", "#(x 0 0)"},
      {"(vector-set! (make-vector 1) 0 1)", "#<unspecified>"},
      {"(vector->list '#())", "'()"},
      {"(vector->list '#(1 (2) 3))", "(1 (2) 3)"},
      {"(list->vector '(1 2 3))", "#(1 2 3)"},
      {"(define v (vector 1 2)) (vector-fill! v 'z) v", "#(z z)"},
      {"(vector-ref '#(1 2) 2)", "!Vector index out of range: 2"},
      {"(vector-ref '#(1 2) -1)", "!Vector index out of range: -1"},
      {"(vector-set! (make-vector 1) 1 0)", "!Vector index out of range: 1"},
      {"(vector-length #(1 2))", "!Vectors must be quoted: #(1 2)"},
      {"(make-vector -1)", "!vector length must be positive: -1"},
      {"(make-vector 16777217)", "!Out of memory: 16777217"},
      {"(list->vector '(1 2 . 3))", "!Wrong type: 3"},
      {"(procedure? car)", "#t"},
      {"(procedure? (lambda () 1))", "#t"},
      {"(procedure? 'car)", "#f"},
      {"(procedure? if)", "#f"},
  };
  Check(cases, std::size(cases));
}

TEST(ProcsVector, Apply) {
  const Case cases[] = {
      {"(apply + 1 2 '(3 4))", "10"},
      {"(apply list '())", "'()"},
      {"(apply car '((a b)))", "a"},
      {"(apply (lambda (a . r) r) 1 2 '(3))", "(2 3)"},
      {"(apply if '(#t 1 2))", "!Not a callable: #<syntax: if>"},
      {"(apply 5 '())", "!Not a callable: 5"},
      {"(apply + 1 2)", "!Wrong type: 2"},
      {"(apply + '(1 . 2))", "!Wrong type: 2"},
      {"(apply +)", "!Wrong number of arguments: #<builtin: apply>"},
  };
  Check(cases, std::size(cases));
  // At most 127 arguments in all, the list's and the others together.
  EXPECT_EQ(std::to_string(127 * 128 / 2), Eval("(apply + " + NumberList(1, 127) + ")"));
  EXPECT_EQ(std::to_string(127 * 128 / 2), Eval("(apply + 1 2 " + NumberList(3, 127) + ")"));
  EXPECT_EQ(TopLevelReport("Too many arguments: #<builtin: +>",
                           "(apply + 1 (quote " + NumberList(2, 128).substr(1) + "))"),
            EvalError("(apply + 1 " + NumberList(2, 128) + ")"));
  // A loop through apply in tail position runs in constant native stack.
  EXPECT_EQ("done", Eval("(define (loop n) (if (= n 0) 'done (apply loop (list (- n 1)))))"
                         "(loop 100000)"));
}

TEST(ProcsVector, MapAndForEach) {
  const Case cases[] = {
      {"(map + '(1 2) '(10 20))", "(11 22)"},
      {"(map car '())", "'()"},
      {"(map (lambda (x) (* x x)) '(1 2 3))", "(1 4 9)"},
      {"(map 5 '())", "'()"},
      // Each application is finished, its value never evaluated again.
      {"(map car '((a)))", "(a)"},
      {"(map list '(1 2) '(a b) '(\"x\" \"y\"))", "((1 a \"x\") (2 b \"y\"))"},
      {"(for-each car '((1)))", "#<unspecified>"},
      {"(define n 0) (map (lambda (x) (set! n (+ n 1)) (list n x)) '(a b c))",
       "((1 a) (2 b) (3 c))"},
      {"(map + '(1 2) '(1))", "!List lengths differ: (1)"},
      {"(for-each + '(1) '(1) '())", "!List lengths differ: '()"},
      {"(map car '(1 . 2))", "!Wrong type: 2"},
      {"(map 5 '(1))", "!Not callable: 5"},
      {"(for-each if '(1))", "!Not callable: #<syntax: if>"},
      {"(map car)", "!Wrong number of arguments: #<builtin: map>"},
  };
  Check(cases, std::size(cases));
  EXPECT_EQ("123", Output("(for-each display '(1 2 3))"));
  EXPECT_EQ("1a2b", Output("(for-each (lambda (x y) (display x) (display y)) '(1 2) '(a b))"));
  // A procedure that cuts a list short is caught at the cut; a list that
  // grows is walked only as far as it was long.
  EXPECT_EQ(TopLevelReport("Wrong type: '()", "(map (lambda (x) (set-cdr! (cdr l) (list)) x) l)"),
            EvalError("(define l (list 1 2 3)) (map (lambda (x) (set-cdr! (cdr l) (list)) x) l)"));
  EXPECT_EQ("(1 2)",
            Eval("(define l (list 1 2)) (map (lambda (x) (set-cdr! (cdr l) (list 3)) x) l)"));
}

TEST(ProcsVector, Output) {
  EXPECT_EQ("\"a\"a\n", Output("(write \"a\") (display \"a\") (newline)"));
  EXPECT_EQ("(1 \"a\" #\\b sym)(1 \"a\" #\\b sym)#\\bb",
            Output("(define l (list 1 \"a\" #\\b 'sym)) (write l) (display l)"
                   "(write #\\b) (display #\\b)"));
  EXPECT_EQ("(#<unspecified> #<unspecified> #<unspecified>)",
            Eval("(list (write 1) (display 1) (newline))"));
  EXPECT_EQ(TopLevelReport("Wrong number of arguments: #<builtin: newline>", "(newline 1)"),
            EvalError("(newline 1)"));
}

}  // namespace
