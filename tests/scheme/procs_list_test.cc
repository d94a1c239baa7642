#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "tests/scheme/scheme_test.h"

namespace {

using scheme_test::Case;
using scheme_test::Check;
using scheme_test::Eval;
using scheme_test::TopLevelReport;

TEST(ProcsList, PairsAndShape) {
  const Case cases[] = {
      {"(pair? '(1))", "#t"},
      {"(pair? '())", "#f"},
      {"(cons 1 2)", "(1 . 2)"},
      {"(cdr '(a . b))", "b"},
      {"(let ((p (list 1 2))) (set-car! p 9) (set-cdr! (cdr p) 8) p)", "(9 2 . 8)"},
      {"(set-car! (list 1) 2)", "#<unspecified>"},
      {"(null? '())", "#t"},
      {"(null? #f)", "#f"},
      {"(list)", "'()"},
      {"(list 1 \"a\" #\\b)", "(1 \"a\" #\\b)"},
      {"(list? '(1 2 3))", "#t"},
      {"(list? '(1 . 2))", "#f"},
      {"(list? '(1 2 . 3))", "#f"},
      {"(list? 5)", "#f"},
      {"(list? '())", "#t"},
      {"(define l (list 1 2 3)) (set-cdr! (cdr (cdr l)) (cdr l)) (list? l)", "#f"},
      {"(define l (list 1)) (set-cdr! l l) (list? l)", "#f"},
      {"(length '())", "0"},
      {"(length '(1 (2 3) 4))", "3"},
      {"(reverse '(1 (2 3) 4))", "(4 (2 3) 1)"},
      {"(define l (list 1 2)) (reverse l) l", "(1 2)"},
      {"(car 5 6)", "!Wrong type: 5"},
      {"(car (list 1) 6)", "!Wrong number of arguments: #<builtin: car>"},
      {"(cons 1)", "!Wrong number of arguments: #<builtin: cons>"},
      {"(length '(1 2 . 3))", "!Wrong type: 3"},
      {"(reverse '(1 . 2))", "!Wrong type: 2"},
  };
  Check(cases, std::size(cases));
}

// The last argument is shared; the others are copied right to left, so an
// improper argument further right is reported first.
TEST(ProcsList, Append) {
  const Case cases[] = {
      {"(append 5)", "5"},
      {"(append '() '())", "'()"},
      {"(append '(1 2) '(3) '(4 5))", "(1 2 3 4 5)"},
      {"(append '(1) 5)", "(1 . 5)"},
      {"(define a '(3)) (define b (append '(1 2) a)) (eq? (cdr (cdr b)) a)", "#t"},
      {"(define a (list 1 2)) (define b (append a '(3))) (set-car! a 9) b", "(1 2 3)"},
      {"(append)", "!Wrong number of arguments: #<builtin: append>"},
      {"(append '(1 . 2) '(3))", "!Wrong type: 2"},
      {"(append '(1 . 2) '(3 . 4) '(5))", "!Wrong type: 4"},
  };
  Check(cases, std::size(cases));
}

TEST(ProcsList, TailsAndReferences) {
  const Case cases[] = {
      {"(list-tail '(1 2 3) 2)", "(3)"},
      {"(list-tail '(1 2 3) 3)", "'()"},
      {"(list-tail '(1 2) -1)", "(1 2)"},
      {"(define l (list 1 2 3)) (eq? (list-tail l 1) (cdr l))", "#t"},
      {"(list-ref '(a b c) 2)", "c"},
      {"(list-ref '(a b c) -5)", "a"},
      {"(list-tail '(1 2 3) 4)", "!Wrong type: '()"},
      {"(list-tail '(1 . 2) 2)", "!Wrong type: 2"},
      {"(list-ref '(a b c) 3)", "!Wrong type: '()"},
      {"(list-ref '(a . b) 1)", "!Wrong type: b"},
  };
  Check(cases, std::size(cases));
}

TEST(ProcsList, MembershipAndAssociation) {
  const Case cases[] = {
      {"(memq 'c '(a b c d))", "(c d)"},
      {"(memq 'e '(a b c d))", "#f"},
      {"(memv 101 '(100 101 102))", "(101 102)"},
      {"(member \"b\" '(\"a\" \"b\"))", "(\"b\")"},
      {"(memq \"b\" '(\"a\" \"b\"))", "#f"},
      {"(memq 'a '(a . b))", "(a . b)"},
      {"(assv 2 '((1 . one) (2 . two)))", "(2 . two)"},
      {"(assq 'c '((a 1) (b 2)))", "#f"},
      {"(assoc '(1) '(((1) . x)))", "((1) . x)"},
      {"(assv '(1) '(((1) . x)))", "#f"},
      {"(assq 'a '((a . 1) 5))", "(a . 1)"},
      {"(memq 'x '(a . b))", "!Wrong type: b"},
      {"(member 'x 5)", "!Wrong type: 5"},
      {"(assq 'x '(1 2))", "!Wrong type: 1"},
      {"(assv 'x '((a . 1) . z))", "!Wrong type: z"},
  };
  Check(cases, std::size(cases));
}

// Every walk to the end of a list reports a circular list, naming it, instead
// of looping: c, one and a (an association list) are circular, s a circular
// list of characters.
TEST(ProcsList, CircularListsAreReportedNotWalkedForever) {
  const std::string kSetup =
      "(define c (list 1 2 3)) (set-cdr! (cdr (cdr c)) c)"
      "(define one (list 1)) (set-cdr! one one)"
      "(define a (list (cons 'a 1) (cons 'b 2))) (set-cdr! (cdr a) a)"
      "(define s (list #\\x #\\y)) (set-cdr! (cdr s) s)";
  const Case cases[] = {
      {"(length c)", "c"},       {"(length one)", "one"},        {"(reverse c)", "c"},
      {"(append c '(1))", "c"},  {"(append '(0) one 5)", "one"}, {"(list-tail c 100)", "c"},
      {"(list-ref c 100)", "c"}, {"(memq 'x c)", "c"},           {"(memv 9 one)", "one"},
      {"(member \"x\" c)", "c"}, {"(assq 'x a)", "a"},           {"(assv 9 a)", "a"},
      {"(assoc \"x\" a)", "a"},  {"(apply + c)", "c"},           {"(apply + 1 2 one)", "one"},
      {"(map + '(1 2) c)", "c"}, {"(for-each display c)", "c"},  {"(list->vector c)", "c"},
      {"(list->string s)", "s"},
  };
  for (const Case& c : cases) {
    scheme_test::Session session;
    session.run(kSetup);
    std::string head = "Wrong type: " + session.written(session.run(c.expected));
    std::string expr = session.written(session.run(std::string("'") + c.source));
    EXPECT_EQ(TopLevelReport(head, expr), session.errorReport(c.source)) << c.source;
  }
  // Walks that stop early never come round the cycle.
  EXPECT_EQ("(b . 2)", Eval(kSetup + "(assq 'b a)"));
  EXPECT_EQ("#t", Eval(kSetup + "(eq? (memv 2 c) (cdr c))"));
  EXPECT_EQ("3", Eval(kSetup + "(list-ref c 2)"));
}

}  // namespace
