#include <gtest/gtest.h>

#include <iterator>
#include <string>

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

TEST(ProcsList, Pairs) {
  const Case cases[] = {
      {"(pair? '(1))", "#t"},
      {"(pair? '())", "#f"},
      {"(pair? '#(1))", "#f"},
      {"(cons 1 2)", "(1 . 2)"},
      {"(cons 1 '(2))", "(1 2)"},
      {"(car '(a b))", "a"},
      {"(cdr '(a b))", "(b)"},
      {"(cdr '(a . b))", "b"},
      {"(let ((p (list 1 2))) (set-car! p 9) p)", "(9 2)"},
      {"(let ((p (list 1 2))) (set-cdr! p 9) p)", "(1 . 9)"},
      {"(set-car! (list 1) 2)", "#<unspecified>"},
      {"(null? '())", "#t"},
      {"(null? '(1))", "#f"},
      {"(null? #f)", "#f"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsList, ListConstructionAndShape) {
  const Case cases[] = {
      {"(list)", "'()"},
      {"(list 1 \"a\" #\\b)", "(1 \"a\" #\\b)"},
      {"(list? '(1 2 3))", "#t"},
      {"(list? '(1 2))", "#t"},
      {"(list? '(1 . 2))", "#f"},
      {"(list? '(1 2 . 3))", "#f"},
      {"(list? 5)", "#f"},
      {"(list? '())", "#t"},
      {"(define l (list 1 2 3)) (set-cdr! (cdr (cdr l)) l) (list? l)", "#f"},
      {"(define l (list 1)) (set-cdr! l l) (list? l)", "#f"},
      {"(define l (list 1 2 3 4)) (set-cdr! (cdr (cdr (cdr l))) (cdr l)) (list? l)", "#f"},
      {"(length '())", "0"},
      {"(length '(1 (2 3) 4))", "3"},
      {"(reverse '(1 (2 3) 4))", "(4 (2 3) 1)"},
      {"(reverse '())", "'()"},
      {"(define l (list 1 2)) (reverse l) l", "(1 2)"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsList, Append) {
  const Case cases[] = {
      {"(append 5)", "5"},
      {"(append '() '())", "'()"},
      {"(append '(1 2) '(3) '(4 5))", "(1 2 3 4 5)"},
      {"(append '(1) 5)", "(1 . 5)"},
      {"(append '() '(1) '() 2)", "(1 . 2)"},
      {"(define a '(3)) (define b (append '(1 2) a)) (eq? (cdr (cdr b)) a)", "#t"},
      // The arguments before the last are copied, not shared.
      {"(define a (list 1 2)) (define b (append a '(3))) (set-car! a 9) b", "(1 2 3)"},
      {"(define a (list 1)) (eq? (append a) a)", "#t"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsList, TailsAndReferences) {
  const Case cases[] = {
      {"(list-tail '(1 2 3) 2)", "(3)"},
      {"(list-tail '(1 2 3) 3)", "'()"},
      {"(list-tail '(1 2) -1)", "(1 2)"},
      {"(list-tail '(1 2) 0)", "(1 2)"},
      {"(list-tail 5 0)", "5"},
      {"(define l (list 1 2 3)) (eq? (list-tail l 1) (cdr l))", "#t"},
      {"(list-ref '(a b c) 2)", "c"},
      {"(list-ref '(a b c) 0)", "a"},
      {"(list-ref '(a b c) -5)", "a"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsList, MembershipAndAssociation) {
  const Case cases[] = {
      {"(memq 'c '(a b c d))", "(c d)"},
      {"(memq 'e '(a b c d))", "#f"},
      {"(memv 101 '(100 101 102))", "(101 102)"},
      {"(member \"b\" '(\"a\" \"b\"))", "(\"b\")"},
      {"(memq \"b\" '(\"a\" \"b\"))", "#f"},
      {"(memv \"b\" '(\"a\" \"b\"))", "#f"},
      {"(member '(1) '((1) 2))", "((1) 2)"},
      {"(memq 'a '(a . b))", "(a . b)"},
      {"(memq 'a '())", "#f"},
      {"(assv 2 '((1 . one) (2 . two)))", "(2 . two)"},
      {"(assq 'b '((a 1) (b 2)))", "(b 2)"},
      {"(assq 'c '((a 1) (b 2)))", "#f"},
      {"(assoc '(1) '(((1) . x)))", "((1) . x)"},
      {"(assv '(1) '(((1) . x)))", "#f"},
      {"(assoc \"b\" '((\"a\" . 1) (\"b\" . 2)))", "(\"b\" . 2)"},
      {"(assq 'a '((a . 1) 5))", "(a . 1)"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsList, Errors) {
  struct ErrorCase {
    const char* source;
    const char* head;
    const char* written;  // the source as written back
  };
  const ErrorCase cases[] = {
      {"(car 5 6)", "Wrong type: 5", "(car 5 6)"},
      {"(car (list 1) 6)", "Wrong number of arguments: #<builtin: car>", "(car (list 1) 6)"},
      {"(cons 1)", "Wrong number of arguments: #<builtin: cons>", "(cons 1)"},
      {"(cons 1 2 3)", "Wrong number of arguments: #<builtin: cons>", "(cons 1 2 3)"},
      {"(append)", "Wrong number of arguments: #<builtin: append>", "(append)"},
      {"(set-cdr! 1 2)", "Wrong type: 1", "(set-cdr! 1 2)"},
      {"(length '(1 2 . 3))", "Wrong type: 3", "(length (quote (1 2 . 3)))"},
      {"(length 7)", "Wrong type: 7", "(length 7)"},
      {"(reverse '(1 . 2))", "Wrong type: 2", "(reverse (quote (1 . 2)))"},
      {"(append '(1 . 2) '(3))", "Wrong type: 2", "(append (quote (1 . 2)) (quote (3)))"},
      // Copies run right to left: the improper argument further right is
      // reported first.
      {"(append '(1 . 2) '(3 . 4) '(5))", "Wrong type: 4",
       "(append (quote (1 . 2)) (quote (3 . 4)) (quote (5)))"},
      {"(list-tail '(1 2 3) 4)", "Wrong type: '()", "(list-tail (quote (1 2 3)) 4)"},
      {"(list-tail '(1 . 2) 2)", "Wrong type: 2", "(list-tail (quote (1 . 2)) 2)"},
      {"(list-ref '(a b c) 3)", "Wrong type: '()", "(list-ref (quote (a b c)) 3)"},
      {"(list-ref '(a . b) 1)", "Wrong type: b", "(list-ref (quote (a . b)) 1)"},
      {"(list-tail '(1) #\\a)", "Wrong type: #\\a", "(list-tail (quote (1)) #\\a)"},
      {"(memq 'x '(a . b))", "Wrong type: b", "(memq (quote x) (quote (a . b)))"},
      {"(member 'x 5)", "Wrong type: 5", "(member (quote x) 5)"},
      {"(assq 'x '(1 2))", "Wrong type: 1", "(assq (quote x) (quote (1 2)))"},
      {"(assv 'x '((a . 1) . z))", "Wrong type: z", "(assv (quote x) (quote ((a . 1) . z)))"},
  };
  for (const ErrorCase& c : cases) EXPECT_EQ(Report(c.head, c.written), EvalError(c.source));
}

// Every walk to the end of a list reports a circular list, naming it, instead
// of looping. c and a (an association list) are circular; s a circular list
// of characters.
TEST(ProcsList, CircularListsAreReportedNotWalkedForever) {
  const char* kSetup =
      "(define c (list 1 2 3)) (set-cdr! (cdr (cdr c)) c)"
      "(define a (list (cons 'a 1) (cons 'b 2))) (set-cdr! (cdr a) a)"
      "(define s (list #\\x #\\y)) (set-cdr! (cdr s) s)"
      "(define one (list 1)) (set-cdr! one one)";
  struct CircularCase {
    const char* expr;
    const char* list;  // the variable the report must name
  };
  const CircularCase cases[] = {
      {"(length c)", "c"},       {"(length one)", "one"},        {"(reverse c)", "c"},
      {"(append c '(1))", "c"},  {"(append '(0) one 5)", "one"}, {"(list-tail c 100)", "c"},
      {"(list-ref c 100)", "c"}, {"(memq 'x c)", "c"},           {"(memv 9 one)", "one"},
      {"(member \"x\" c)", "c"}, {"(assq 'x a)", "a"},           {"(assv 9 a)", "a"},
      {"(assoc \"x\" a)", "a"},  {"(apply + c)", "c"},           {"(apply + 1 2 one)", "one"},
      {"(map + c)", "c"},        {"(map + '(1 2) c)", "c"},      {"(for-each display c)", "c"},
      {"(list->vector c)", "c"}, {"(list->string s)", "s"},
  };
  for (const CircularCase& c : cases) {
    scheme_test::Session session;
    session.run(kSetup);
    std::string written = session.written(session.run(c.list));
    size_t before = session.out().text().size();
    EXPECT_THROW(session.run(c.expr), scheme_test::SchemeError) << c.expr;
    // The expressions are written back with quote forms spelt out.
    std::string expr = session.written(session.run(std::string("(quote ") + c.expr + ")"));
    EXPECT_EQ(Report("Wrong type: " + written, expr), session.out().text().substr(before))
        << c.expr;
  }
  // Walks that stop early never reach the cycle.
  EXPECT_EQ("(b . 2)", Eval(std::string(kSetup) + "(assq 'b a)"));
  EXPECT_EQ("2", Eval(std::string(kSetup) + "(car (memv 2 c))"));
  EXPECT_EQ("3", Eval(std::string(kSetup) + "(list-ref c 2)"));
  EXPECT_EQ("#t", Eval(std::string(kSetup) + "(eq? (list-tail c 0) c)"));
}

}  // namespace
