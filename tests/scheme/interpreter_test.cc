#include "scheme/interpreter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "scheme/environment.h"
#include "tests/sanitizer.h"
#include "tests/scheme/scheme_test.h"

namespace {

using scheme_test::Case;
using scheme_test::Check;
using scheme_test::Eval;
using scheme_test::EvalError;
using scheme_test::Output;
using scheme_test::Session;
using scheme_test::TopLevelReport;

// The sanitizer build spends several times more native stack per level of
// non-tail recursion, and time per step, so its depths and loops are
// smaller; each still goes well past the depth at which the stack runs low.
#if defined(PENDRA_TEST_ASAN)
constexpr int kDeepButFine = 4000;
constexpr int kLongLoop = 300000;
constexpr int kTailSteps = 20000;
#else
constexpr int kDeepButFine = 30000;
constexpr int kLongLoop = 10000000;
constexpr int kTailSteps = 100000;
#endif

// The written form of a value named in session, e.g. a closure.
std::string WrittenValue(Session& s, const char* name) { return s.written(s.run(name)); }

TEST(Interpreter, ReportNamesTheProcedureFileLinesAndExpressions) {
  Session s;
  s.run("(define (f x) (test-car x))");
  std::string f = WrittenValue(s, "f");
  // The six lines: the message, a blank line, the procedure's heading and
  // its expression, the top-level heading and its expression.
  EXPECT_EQ(
      "Wrong type: 5\n"
      "\n"
      "f " +
          f +
          "\n"
          "    test(1): (test-car x)\n"
          "eval (f 5)\n"
          "    test(2): (f 5)\n",
      s.errorReport("\n(f 5)"));
  // The empty list is written '() everywhere, inside the expressions too.
  EXPECT_EQ(TopLevelReport("Wrong type: '()", "(test-car (quote '()))"),
            EvalError("(test-car '())"));
}

TEST(Interpreter, BacktraceHeadingsAndFrames) {
  // Consecutive frames of one procedure (here f's call frame and the let
  // frame inside it) share its heading. Each frame shows the call form most
  // recently started in it.
  Session s;
  s.run(
      "(define (g x) (test-add 1 (test-car x)))\n"
      "(define (f x) (let ((y x)) (test-add 1 (g y))))");
  std::string f = WrittenValue(s, "f");
  std::string g = WrittenValue(s, "g");
  EXPECT_EQ(
      "Wrong type: 7\n\n"
      "g " +
          g +
          "\n"
          "    test(1): (test-car x)\n"
          "f " +
          f +
          "\n"
          "    test(2): (g y)\n"
          "    test(2): (let ((y x)) (test-add 1 (g y)))\n"
          "eval (f 7)\n"
          "    test(1): (f 7)\n",
      s.errorReport("(f 7)"));

  // An anonymous procedure has no name before it. Its frame's expression is
  // still the body, a list no "(" started, so no line is shown.
  s.run("(define anon (lambda () nowhere))");
  EXPECT_EQ("Undefined symbol: nowhere\n\n" + WrittenValue(s, "anon") +
                "\n"
                "    test: (nowhere)\n"
                "eval (anon)\n"
                "    test(2): (anon)\n",
            s.errorReport("\n(anon)"));

  // A let at top level has no procedure and no top-level frame of its own:
  // its heading shows the expression of the top-level frame around it.
  EXPECT_EQ(
      "Undefined symbol: z\n\n"
      "eval (let ((y 1)) z)\n"
      "    test: (z)\n"
      "eval (let ((y 1)) z)\n"
      "    test(1): (let ((y 1)) z)\n",
      EvalError("(let ((y 1)) z)"));
}

TEST(Interpreter, NestedTopLevelEvaluationSitsOnTopOfTheRunningOne) {
  Session s;
  s.run("(define (run text) (test-add 1 (test-include text)))");
  std::string run = WrittenValue(s, "run");
  EXPECT_EQ(
      "Wrong type: #t\n\n"
      "eval (test-add #t)\n"
      "    inner(1): (test-add #t)\n"
      "run " +
          run +
          "\n"
          "    test(1): (test-include text)\n"
          "eval (run \"(test-add #t)\")\n"
          "    test(1): (run \"(test-add #t)\")\n",
      s.errorReport("(run \"(test-add #t)\")"));
  // The frame stack is empty after a report; evaluation goes on normally.
  EXPECT_EQ(nullptr, s.in().currentFrame());
  EXPECT_EQ("8", s.written(s.run("(run \"(define x 7) x\")")));
  EXPECT_EQ("7", s.written(s.run("x")));
}

TEST(Interpreter, EvaluationErrors) {
  // A bare datum: the top-level frame's expression is the datum itself.
  EXPECT_EQ("Undefined symbol: nowhere\n\neval nowhere\n    test: nowhere\n", EvalError("nowhere"));
  EXPECT_EQ("Vectors must be quoted: #(1 2)\n\neval #(1 2)\n    test: #(1 2)\n",
            EvalError("#(1 2)"));
  // "()" was started by a parenthesis, so the table has a line for it.
  EXPECT_EQ("The empty list must be quoted: '()\n\neval '()\n    test(1): '()\n", EvalError("()"));
  const Case calls[] = {
      {"(5 1)", "Not callable: 5"},
      {"(\"s\")", "Not callable: \"s\""},
      {"((quote if) 1)", "Not callable: if"},
      {"(test-add 1 . 2)", "Wrong type: 2"},
      {"(test-add 1 (test-add #f))", "Wrong type: #f"},
      {"((lambda (a b) a) 1)", "Wrong number of arguments: "},
      {"(lambda (a 1) a)", "Bad formal list for lambda: (a 1)"},
      {"(lambda (a . 1) a)", "Bad formal list for lambda: (a . 1)"},
      {"(lambda 5 a)", "Bad formal list for lambda: 5"},
  };
  for (const Case& c : calls) {
    std::string report = EvalError(c.source);
    EXPECT_EQ(0u, report.find(c.expected)) << c.source << "\n" << report;
  }
  // Arguments before a bad tail or a non-callable operator are evaluated.
  EXPECT_EQ("12Not callable: 5\n", Output("(5 (test-display 1) (test-display 2))").substr(0, 18));
}

TEST(Interpreter, ArgumentsUpToOneHundredTwentySeven) {
  std::string args;
  for (int i = 1; i <= 127; ++i) args += " " + std::to_string(i);
  EXPECT_EQ("8128", Eval("(test-add" + args + ")"));
  std::string rest = args.substr(2);  // " 2" to " 127"
  EXPECT_EQ("(" + rest.substr(1) + ")", Eval("((lambda (a . r) r)" + args + ")"));
  std::string form = "(test-add" + args + " 128)";
  EXPECT_EQ(TopLevelReport("Too many arguments: " + form, form), EvalError(form));
}

TEST(Interpreter, ClosuresBindTheirArguments) {
  const Case cases[] = {
      {"((lambda (a . b) b) 1)", "'()"},
      {"((lambda (a . b) b) 1 2 3)", "(2 3)"},
      {"((lambda args args) 1 2)", "(1 2)"},
      {"((lambda args args))", "'()"},
      {"((lambda () 5))", "5"},
      // A closure sees the frame it was made in, long after it was left.
      {"(define (adder n) (lambda (m) (test-add n m))) ((adder 3) 4)", "7"},
      {"(define (counter) (let ((n 0)) (lambda () (set! n (test-add n 1)) n)))"
       "(define c (counter)) (c) (c) (c)",
       "3"},
      // The body's expressions run in order; the last one gives the value.
      {"((lambda () (test-display 1) (test-display 2) 3))", "3"},
  };
  Check(cases, std::size(cases));
  EXPECT_EQ("12", Output("((lambda () (test-display 1) (test-display 2) 3))"));

  Session s;
  s.run("(define (two a b) a)");
  std::string two = WrittenValue(s, "two");
  EXPECT_EQ(TopLevelReport("Wrong number of arguments: " + two, "(two 1)"),
            s.errorReport("(two 1)"));
  EXPECT_EQ(TopLevelReport("Wrong number of arguments: " + two, "(two 1 2 3)"),
            s.errorReport("(two 1 2 3)"));
  s.run("(define (rest a b . c) a)");
  std::string rest = WrittenValue(s, "rest");
  EXPECT_EQ(TopLevelReport("Wrong number of arguments: " + rest, "(rest 1)"),
            s.errorReport("(rest 1)"));
  EXPECT_EQ("1", s.written(s.run("(rest 1 2)")));
}

TEST(Interpreter, InternalDefinitions) {
  const Case cases[] = {
      {"((lambda () (define x 1) (define (g) x) (g)))", "1"},
      {"(define (f) (define a 1) (define (g) (test-add a a)) (g)) (f)", "2"},
      // Procedures of one body see each other, whatever the order.
      {"(define (f) (define (even n) (if (test-num-eq n 0) #t (odd (test-sub n 1))))"
       " (define (odd n) (if (test-num-eq n 0) #f (even (test-sub n 1)))) (even 10)) (f)",
       "#t"},
      // A later definition is still unspecified when an earlier one runs.
      {"((lambda () (define a b) (define b 2) a))", "#<unspecified>"},
      {"((lambda () (define a 1) (set! a 5) a))", "5"},
      // Let bodies take internal definitions as well.
      {"(let ((x 1)) (define y (test-add x 1)) (test-list x y))", "(1 2)"},
      // Made anew each time the body runs.
      {"(define (f n) (define k n) (lambda () k)) (define a (f 1)) (define b (f 2)) (a)", "1"},
  };
  Check(cases, std::size(cases));

  EXPECT_EQ(0u, EvalError("((lambda () (define x 1)))").find("Wrong type: '()\n\n"));
  EXPECT_EQ(0u, EvalError("((lambda () 1 (define y 2) y))")
                    .find("Define not allowed here: (define y 2)\n\n"));
  // Every definition is checked before any is evaluated: nothing is shown.
  EXPECT_EQ(0u, Output("((lambda () (define a (test-display 1)) (define b 1 2) a))")
                    .find("Bad define syntax"));
  const Case errors[] = {
      {"((lambda () (define a (test-display 1)) (define b 1 2) a))",
       "Bad define syntax: (define b 1 2)"},
      {"((lambda () (define a) a))", "Wrong type: '()"},
      {"((lambda () (define 5 1) 1))", "Wrong type: 5"},
      {"((lambda () (define (5) 1) 1))", "Wrong type: 5"},
      {"((lambda () (define a 1) . 5))", "Wrong type: 5"},
  };
  for (const Case& c : errors)
    EXPECT_EQ(0u, EvalError(c.source).find(std::string(c.expected) + "\n\n")) << c.source;
}

TEST(Interpreter, TailCallsRunInConstantStack) {
  std::string loop = "(define (loop n) (if (test-num-eq n 0) 'done (loop (test-sub n 1)))) (loop " +
                     std::to_string(kLongLoop) + ")";
  EXPECT_EQ("done", Eval(loop));
  // Every tail position, including tail calls through a builtin's result.
  const char* positions[] = {
      "(define (f n) (cond ((test-num-eq n 0) 'done) (else (f (test-sub n 1)))))",
      "(define (f n) (cond ((test-num-eq n 0) 'done) ((test-sub n 1) => f)))",
      "(define (f n) (case (test-num-eq n 0) ((#t) 'done) (else (f (test-sub n 1)))))",
      "(define (f n) (if (test-num-eq n 0) 'done (begin 1 (f (test-sub n 1)))))",
      "(define (f n) (if (test-num-eq n 0) 'done (let ((m (test-sub n 1))) (f m))))",
      "(define (f n) (if (test-num-eq n 0) 'done (letrec ((m (test-sub n 1))) (f m))))",
      "(define (f n) (if (not-zero n) (f (test-sub n 1)) 'done))"
      "(define (not-zero n) (if (test-num-eq n 0) #f #t))",
      "(define (f n) (if (test-num-eq n 0) 'done 0 (f (test-sub n 1))))",
      "(define (f n) (define m (test-sub n 1)) (if (test-num-eq n 0) 'done (f m)))",
      "(define (f n) (if (test-num-eq n 0) 'done (test-apply-raw f (test-sub n 1))))",
  };
  for (const char* p : positions)
    EXPECT_EQ("done", Eval(std::string(p) + "(f " + std::to_string(kTailSteps) + ")")) << p;
}

TEST(Interpreter, DeepRecursionWorksUntilTheStackRunsLow) {
  const std::string f = "(define (f n) (if (test-num-eq n 0) 0 (test-add 1 (f (test-sub n 1)))))";
  EXPECT_EQ(std::to_string(kDeepButFine), Eval(f + "(f " + std::to_string(kDeepButFine) + ")"));

  Session s;
  s.run(f);
  std::string fw = WrittenValue(s, "f");
  std::string report = s.errorReport("(f 10000000)");
  EXPECT_EQ(0u, report.find("Recursion too deep: ")) << report.substr(0, 200);
  // One heading for f and its 10 innermost frames (the innermost may be in
  // any call of f's body), one line for the frames left out, then the 10
  // outermost under a heading of their own, the top level last.
  std::string head = report.substr(0, report.find('\n')) + "\n\nf " + fw + "\n";
  ASSERT_EQ(head, report.substr(0, head.size()));
  std::string frame = "    test(1): (f (test-sub n 1))\n";
  std::string inner;
  for (int i = 0; i < 9; ++i) inner += frame;
  size_t innerStart = report.find('\n', head.size()) + 1;
  ASSERT_EQ(inner + "    ... ", report.substr(innerStart, inner.size() + 8));
  size_t gapStart = innerStart + inner.size();
  size_t gapEnd = report.find('\n', gapStart) + 1;
  int left = std::stoi(report.substr(gapStart + 8));
  EXPECT_LT(1000, left);
  EXPECT_EQ("    ... " + std::to_string(left) + " frames left out\n",
            report.substr(gapStart, gapEnd - gapStart));
  std::string outer = "f " + fw + "\n";
  for (int i = 0; i < 9; ++i) outer += frame;
  outer += "eval (f 10000000)\n    test(1): (f 10000000)\n";
  EXPECT_EQ(outer, report.substr(gapEnd));
  // Afterwards the interpreter works as before.
  EXPECT_EQ("100", s.written(s.run("(f 100)")));
}

// The deepest list nesting in text.
int MaxDepth(const std::string& text) {
  int depth = 0, deepest = 0;
  for (char c : text) {
    if (c == '(') deepest = std::max(deepest, ++depth);
    if (c == ')') --depth;
  }
  return deepest;
}

// The written value of source, or the message of its error report.
std::string ValueOrMessage(const std::string& source) {
  Session s;
  try {
    return s.written(s.run(source));
  } catch (const scheme_test::SchemeError&) {
    std::string report = s.out().text().substr(s.out().reportStart());
    return report.substr(0, report.find(':'));
  }
}

// Every kind of nesting that the evaluator, a special form or the reader
// recurses over, as deep as the reader admits and one level more; then, for
// the kinds that nest on the native stack, at the bottom of a recursion
// that has used up the stack but for what its base case needs. The answer
// is always the value or a report, never a crash.
TEST(Interpreter, NestingOfEveryKindEndsInAValueOrAReport) {
  const struct {
    const char* open;
    const char* inner;  // the innermost expression when the value is asked for
    const char* close;
    const char* value;
    bool tail;  // nests in tail position, on no native stack
  } kinds[] = {
      {"(let ((a 1)) ", "a", ")", "1", false},
      {"(letrec ((a 1)) ", "a", ")", "1", false},
      {"(let ((a 1)) (define b a) ", "b", ")", "1", false},
      {"(if ", "1", " 1 0)", "1", false},
      {"(cond (", "1", " => (lambda (x) x)))", "1", false},
      {"(and #t ", "1", ")", "1", false},
      {"(or #f ", "1", ")", "1", false},
      {"(set! a ", "1", ")", "#<unspecified>", false},
      {"(test-add 0 ", "1", ")", "1", false},
      {"(test-list ", "1", ")", "", false},  // the value is the nested list itself
      {"((lambda () ", "1", "))", "1", true},
      {"(if #t ", "1", ")", "1", true},
      {"(begin 0 ", "1", ")", "1", true},
      {"(cond (#f 0) (#t ", "1", "))", "1", true},
      {"(case 1 ((1) ", "1", "))", "1", true},
  };
  // f recursing n times, then evaluating base.
  auto recursion = [](const std::string& base, int n) {
    return "(define (f n) (if (test-num-eq n 0) " + base +
           " (test-add 1 (f (test-sub n 1))))) (f " + std::to_string(n) + ")";
  };
  // Nearly the deepest recursion that still returns: within 256 levels,
  // far less stack than any of the nestings below needs.
  int works = 1, fails = 1 << 20;
  ASSERT_EQ("Recursion too deep", ValueOrMessage(recursion("0", fails)));
  while (fails - works > 256) {
    int n = works + (fails - works) / 2;
    (ValueOrMessage(recursion("0", n)) == std::to_string(n) ? works : fails) = n;
  }
  for (const auto& k : kinds) {
    auto nest = [&](int levels, const std::string& inner) {
      std::string text;
      for (int i = 0; i < levels; ++i) text += k.open;
      text += inner;
      for (int i = 0; i < levels; ++i) text += k.close;
      return text;
    };
    int perLevel = MaxDepth(nest(2, k.inner)) - MaxDepth(nest(1, k.inner));
    int deepest = (10000 - MaxDepth(nest(1, k.inner))) / perLevel + 1;
    std::string value = k.value;
    if (value.empty()) value = std::string(deepest, '(') + "1" + std::string(deepest, ')');
    std::string got = ValueOrMessage(nest(deepest, k.inner));
    if (k.tail)
      EXPECT_EQ(value, got) << k.open;
    else
      EXPECT_TRUE(got == value || got == "Recursion too deep") << k.open << got.substr(0, 100);
    EXPECT_EQ("Nesting too deep", ValueOrMessage(nest(deepest + 1, k.inner))) << k.open;
    if (k.tail) continue;
    EXPECT_EQ("Recursion too deep", ValueOrMessage(recursion(nest(deepest - 3, k.inner), works)))
        << k.open;
  }
}

TEST(Interpreter, ReportCutsLongAndCircularValues) {
  Session s;
  std::string items;
  for (int i = 0; i < 120; ++i) items += " 12345678";
  s.run("(define v (test-vector" + items + "))");
  s.run("(define x (test-list 1)) (test-set-car! x x)");
  std::string v = WrittenValue(s, "v");
  ASSERT_LT(1000u, v.size());
  std::string cut = v.substr(0, 996) + " ...";
  EXPECT_EQ(TopLevelReport("Wrong type: " + cut, "(test-add v)"), s.errorReport("(test-add v)"));
  EXPECT_EQ(TopLevelReport("Wrong type: (...)", "(test-add x)"), s.errorReport("(test-add x)"));
  // The expressions of the backtrace are cut the same way.
  std::string call = "(test-add (test-vector" + items + "))";
  std::string written = s.written(s.run("'" + call));
  std::string report = s.errorReport(call);
  EXPECT_EQ("eval " + written.substr(0, 996) + " ...\n",
            report.substr(report.find("eval ")).substr(0, 1006));
}

TEST(Interpreter, HostCallsNeverEvaluateAValueAgain) {
  const Case cases[] = {
      // A builtin's result is a value, even when it looks like code.
      {"(test-call test-list 'a)", "(a)"},
      {"(test-call test-car '((nowhere 1)))", "(nowhere 1)"},
      {"(test-call (lambda () 'sym))", "sym"},
      {"(test-call (lambda (x) (test-list 'quote x)) 1)", "(quote 1)"},
      // A closure's pending call is run to its value.
      {"(define (f n) (if (test-num-eq n 0) 'done (f (test-sub n 1)))) (test-call f 50000)",
       "done"},
      {"(test-call test-apply-raw (lambda (x) (test-list x x)) 'y)", "(y y)"},
  };
  Check(cases, std::size(cases));
  EXPECT_EQ(TopLevelReport("Not callable: #<syntax: if>", "(test-call if 1)"),
            EvalError("(test-call if 1)"));
  EXPECT_EQ(TopLevelReport("Not callable: 5", "(test-call 5)"), EvalError("(test-call 5)"));

  // The host's own entry: Interpreter::call with no evaluation running.
  Session s;
  scheme::Value f = s.run("(lambda (x) (test-list x 'x))");
  scheme::Value arg = s.run("'nowhere");
  EXPECT_EQ("(nowhere x)", s.written(s.in().call(f, 1, &arg)));
  EXPECT_EQ(nullptr, s.in().currentFrame());
  scheme::Value list = s.run("test-list");
  EXPECT_EQ("(nowhere)", s.written(s.in().call(list, 1, &arg)));
  // finish runs pending calls only.
  EXPECT_EQ(arg, s.in().finish(arg));
}

TEST(Interpreter, ClosuresShareOneCopyOfTheirSourceTable) {
  Session s;
  scheme::Value a = s.run("(define (f) (lambda () 1)) f");
  scheme::Value b = s.run("(f)");
  scheme::Value c = s.run("(f)");
  auto* fa = scheme::as<scheme::Closure>(a);
  const scheme::SourceTable* table = fa->sourceTable();
  ASSERT_NE(nullptr, table);
  EXPECT_EQ(u"test", table->fileName);
  EXPECT_EQ(4u, table->entries.size());  // (define ...), (f), () and (lambda () 1)
  EXPECT_EQ(table, scheme::as<scheme::Closure>(b)->sourceTable());
  EXPECT_EQ(table, scheme::as<scheme::Closure>(c)->sourceTable());
  // Closures made in one top-level evaluation share a copy; another
  // evaluation makes its own.
  scheme::Value pq = s.run("(begin (define (p) 1) (define (q) 2) (test-list p q))");
  const scheme::SourceTable* pt =
      scheme::as<scheme::Closure>(scheme::as<scheme::Pair>(pq)->car())->sourceTable();
  EXPECT_EQ(pt, scheme::as<scheme::Closure>(
                    scheme::as<scheme::Pair>(scheme::as<scheme::Pair>(pq)->cdr())->car())
                    ->sourceTable());
  EXPECT_NE(table, pt);
}

}  // namespace
