#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "tests/scheme/scheme_test.h"

namespace {

using scheme_test::Eval;
using scheme_test::EvalError;
using scheme_test::Output;

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

// A quoted list of the numbers from..to as source text.
std::string NumberList(int from, int to) {
  std::string text = "'(";
  for (int i = from; i <= to; ++i) text += std::to_string(i) + (i < to ? " " : "");
  return text + ")";
}

TEST(ProcsVector, Vectors) {
  const Case cases[] = {
      {"(vector? '#(1))", "#t"},
      {"(vector? '(1))", "#f"},
      {"(make-vector 2)", "#(#<unspecified> #<unspecified>)"},
      {"(make-vector 2 'a 'b)", "#(a a)"},
      {"(make-vector 0)", "#()"},
      {"(vector)", "#()"},
      {"(vector 1 '() \"s\")", "#(1 '() \"s\")"},
      {"(vector-length '#(1 2 3))", "3"},
      {"(vector-length (make-vector 0))", "0"},
      {"(vector-ref '#(1 2) 1)", "2"},
      {"(define v (make-vector 3 0)) (vector-set! v 0 'x) v", "#(x 0 0)"},
      {"(vector-set! (make-vector 1) 0 1)", "#<unspecified>"},
      {"(vector->list '#())", "'()"},
      {"(vector->list '#(1 (2) 3))", "(1 (2) 3)"},
      {"(list->vector '())", "#()"},
      {"(list->vector '(1 2 3))", "#(1 2 3)"},
      {"(define v (vector 1 2)) (vector-fill! v 'z) v", "#(z z)"},
      {"(vector-fill! (vector 1) 2)", "#<unspecified>"},
      // Fresh storage: two vectors made alike share nothing.
      {"(define a (make-vector 2 0)) (define b (list->vector (vector->list a)))"
       "(vector-set! b 0 1) a",
       "#(0 0)"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsVector, ProcedurePredicate) {
  const Case cases[] = {
      {"(procedure? car)", "#t"},  {"(procedure? (lambda () 1))", "#t"},
      {"(procedure? 'car)", "#f"}, {"(procedure? if)", "#f"},
      {"(procedure? 5)", "#f"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsVector, Apply) {
  const Case cases[] = {
      {"(apply + 1 2 '(3 4))", "10"},
      {"(apply list '())", "'()"},
      {"(apply car '((a b)))", "a"},
      {"(apply (lambda (a . r) r) 1 2 '(3))", "(2 3)"},
      {"(apply apply list '((1 2)))", "(1 2)"},
      {"(apply + (list))", "0"},
  };
  ExpectValues(cases, std::size(cases));
  // 127 arguments in all, the list's and the others together, are accepted.
  EXPECT_EQ(std::to_string(127 * 128 / 2), Eval("(apply + " + NumberList(1, 127) + ")"));
  EXPECT_EQ(std::to_string(127 * 128 / 2), Eval("(apply + 1 2 " + NumberList(3, 127) + ")"));
}

// A loop through apply in tail position runs in constant native stack.
TEST(ProcsVector, ApplyInTailPositionIsATailCall) {
  EXPECT_EQ("done", Eval("(define (loop n) (if (= n 0) 'done (apply loop (list (- n 1)))))"
                         "(loop 1000000)"));
}

TEST(ProcsVector, MapAndForEach) {
  const Case cases[] = {
      {"(map + '(1 2) '(10 20))", "(11 22)"},
      {"(map car '())", "'()"},
      {"(map (lambda (x) (* x x)) '(1 2 3))", "(1 4 9)"},
      {"(map 5 '())", "'()"},
      {"(for-each 5 '())", "#<unspecified>"},
      // The result of each application is finished, not evaluated again.
      {"(map car '((a)))", "(a)"},
      {"(map (lambda (x) (list 'quote x)) '(a))", "((quote a))"},
      {"(map list '(1 2) '(a b) '(\"x\" \"y\"))", "((1 a \"x\") (2 b \"y\"))"},
      {"(for-each car '((1)))", "#<unspecified>"},
      // Results come in the order of the elements.
      {"(define n 0) (map (lambda (x) (set! n (+ n 1)) (list n x)) '(a b c))",
       "((1 a) (2 b) (3 c))"},
  };
  ExpectValues(cases, std::size(cases));
  EXPECT_EQ("123", Output("(for-each display '(1 2 3))"));
  EXPECT_EQ("1a2b", Output("(for-each (lambda (x y) (display x) (display y)) '(1 2) '(a b))"));
  // Long lists are walked without nesting.
  EXPECT_EQ("100000", Eval("(define (iota n acc) (if (= n 0) acc (iota (- n 1) (cons n acc))))"
                           "(length (map (lambda (x) x) (iota 100000 '())))"));
}

TEST(ProcsVector, Output) {
  EXPECT_EQ("\"a\"", Output("(write \"a\")"));
  EXPECT_EQ("a", Output("(display \"a\")"));
  EXPECT_EQ("\n", Output("(newline)"));
  EXPECT_EQ("(1 \"a\" #\\b sym)(1 \"a\" #\\b sym)", Output("(define l (list 1 \"a\" #\\b 'sym))"
                                                           "(write l) (display l)"));
  EXPECT_EQ("#\\bb", Output("(write #\\b) (display #\\b)"));
  EXPECT_EQ("#<unspecified>", Eval("(write 1)"));
  EXPECT_EQ("#<unspecified>", Eval("(display 1)"));
  EXPECT_EQ("#<unspecified>", Eval("(newline)"));
}

TEST(ProcsVector, Errors) {
  struct ErrorCase {
    const char* source;
    const char* head;
    const char* written;  // the source as written back
  };
  const ErrorCase cases[] = {
      {"(vector-ref '#(1 2) 2)", "Vector index out of range: 2", "(vector-ref (quote #(1 2)) 2)"},
      {"(vector-ref '#(1 2) -1)", "Vector index out of range: -1",
       "(vector-ref (quote #(1 2)) -1)"},
      {"(vector-set! (make-vector 1) 1 0)", "Vector index out of range: 1",
       "(vector-set! (make-vector 1) 1 0)"},
      {"(vector-set! (make-vector 1) -1 0)", "Vector index out of range: -1",
       "(vector-set! (make-vector 1) -1 0)"},
      {"(vector-ref '#() 0)", "Vector index out of range: 0", "(vector-ref (quote #()) 0)"},
      {"(vector-length #(1 2))", "Vectors must be quoted: #(1 2)", "(vector-length #(1 2))"},
      {"(vector-length '(1))", "Wrong type: (1)", "(vector-length (quote (1)))"},
      {"(make-vector -1)", "vector length must be positive: -1", "(make-vector -1)"},
      {"(make-vector -536870912 0)", "vector length must be positive: -536870912",
       "(make-vector -536870912 0)"},
      {"(make-vector 16777217)", "Out of memory: 16777217", "(make-vector 16777217)"},
      {"(make-vector 'a)", "Wrong type: a", "(make-vector (quote a))"},
      {"(list->vector '(1 2 . 3))", "Wrong type: 3", "(list->vector (quote (1 2 . 3)))"},
      {"(apply if '(#t 1 2))", "Not a callable: #<syntax: if>", "(apply if (quote (#t 1 2)))"},
      {"(apply 5 '())", "Not a callable: 5", "(apply 5 (quote '()))"},
      {"(apply + 1 2)", "Wrong type: 2", "(apply + 1 2)"},
      {"(apply + '(1 . 2))", "Wrong type: 2", "(apply + (quote (1 . 2)))"},
      {"(apply +)", "Wrong number of arguments: #<builtin: apply>", "(apply +)"},
      {"(map + '(1 2) '(1))", "List lengths differ: (1)", "(map + (quote (1 2)) (quote (1)))"},
      {"(for-each + '(1) '(1) '())", "List lengths differ: '()",
       "(for-each + (quote (1)) (quote (1)) (quote '()))"},
      {"(map car '(1 . 2))", "Wrong type: 2", "(map car (quote (1 . 2)))"},
      {"(map + '(1) 5)", "Wrong type: 5", "(map + (quote (1)) 5)"},
      {"(map 5 '(1))", "Not callable: 5", "(map 5 (quote (1)))"},
      {"(for-each if '(1))", "Not callable: #<syntax: if>", "(for-each if (quote (1)))"},
      {"(map car)", "Wrong number of arguments: #<builtin: map>", "(map car)"},
      {"(newline 1)", "Wrong number of arguments: #<builtin: newline>", "(newline 1)"},
      {"(write)", "Wrong number of arguments: #<builtin: write>", "(write)"},
  };
  for (const ErrorCase& c : cases) EXPECT_EQ(Report(c.head, c.written), EvalError(c.source));

  // The limit of 127 arguments holds for the list apply spreads.
  std::string written = "(apply + (quote " + NumberList(1, 128).substr(1) + "))";
  EXPECT_EQ(Report("Too many arguments: #<builtin: +>", written),
            EvalError("(apply + " + NumberList(1, 128) + ")"));
  written = "(apply + 1 (quote " + NumberList(2, 128).substr(1) + "))";
  EXPECT_EQ(Report("Too many arguments: #<builtin: +>", written),
            EvalError("(apply + 1 " + NumberList(2, 128) + ")"));
}

// A procedure given to map that cuts a list short is caught at the cut, and a
// list that grows is walked only as far as it was long.
TEST(ProcsVector, MapOverAListChangedByTheProcedure) {
  EXPECT_EQ(Report("Wrong type: '()", "(map (lambda (x) (set-cdr! (cdr l) (list)) x) l)"),
            EvalError("(define l (list 1 2 3)) (map (lambda (x) (set-cdr! (cdr l) (list)) x) l)"));
  EXPECT_EQ("(1 2)",
            Eval("(define l (list 1 2)) (map (lambda (x) (set-cdr! (cdr l) (list 3)) x) l)"));
}

}  // namespace
