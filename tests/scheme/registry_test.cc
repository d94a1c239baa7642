#include "scheme/registry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "scheme/interpreter.h"
#include "tests/scheme/scheme_test.h"

namespace {

using scheme::Value;
using scheme_test::EvalError;
using scheme_test::Session;
using scheme_test::TopLevelReport;

TEST(Registry, EveryRecordIsInstalledAsTheGlobalValueOfItsName) {
  Session s;
  scheme::Interpreter& in = s.in();
  int builtins = 0;
  for (const scheme::Builtin* b = scheme::Builtin::head(); b != nullptr; b = b->link()) {
    ++builtins;
    Value v = in.internName(b->name())->globalValue();
    ASSERT_TRUE(scheme::isType(v, scheme::TypeCode::Builtin)) << b->name();
    // A second record with the same name would have replaced this one.
    EXPECT_EQ(b, scheme::as<scheme::BuiltinProcedure>(v)->builtin()) << b->name();
  }
  EXPECT_GT(builtins, 0);

  std::set<std::string> syntaxes;
  for (const scheme::Syntax* r = scheme::Syntax::head(); r != nullptr; r = r->link()) {
    syntaxes.insert(r->name());
    Value v = in.internName(r->name())->globalValue();
    ASSERT_TRUE(scheme::isType(v, scheme::TypeCode::SpecialForm)) << r->name();
    EXPECT_EQ(std::string(r->name()), scheme::as<scheme::SpecialForm>(v)->name());
  }
  EXPECT_EQ((std::set<std::string>{"quote", "define", "lambda", "if", "set!", "begin", "and", "or",
                                   "cond", "case", "let", "letrec"}),
            syntaxes);
  int records = 0;
  for (const scheme::Syntax* r = scheme::Syntax::head(); r != nullptr; r = r->link()) ++records;
  EXPECT_EQ(12, records);
}

// checkArguments on its own, with the symbol self as the culprit of count
// errors. Arguments are given as Scheme text, evaluated first.
TEST(Registry, ArgumentSpecs) {
  struct Case {
    const char* argSpec;
    const char* args;   // a list expression
    const char* error;  // "" when accepted
  } cases[] = {
      {"", "'()", ""},
      {"", "'(1)", "Wrong number of arguments: self"},
      {".", "'(x)", ""},
      {".", "'()", "Wrong number of arguments: self"},
      {"..", "'(1)", "Wrong number of arguments: self"},
      {"..", "'(1 2 3)", "Wrong number of arguments: self"},
      {"n", "'(x)", "Wrong type: x"},
      {"s", "'(\"s\")", ""},
      {"s", "'(s)", "Wrong type: s"},
      {"S", "'(s)", ""},
      {"S", "'(\"s\")", "Wrong type: \"s\""},
      {"c", "'(#\\c)", ""},
      {"c", "'(99)", "Wrong type: 99"},
      {"p", "'((1))", ""},
      {"p", "'(())", "Wrong type: '()"},
      {"v", "'(#(1))", ""},
      {"v", "'((1))", "Wrong type: (1)"},
      {"x", "'(anything)", ""},  // unknown letters check nothing
      // Positions are checked as they are consumed: a wrong type first.
      {"p", "'(5 6)", "Wrong type: 5"},
      {"p", "'((1) 6)", "Wrong number of arguments: self"},
      {"*n", "'()", ""},
      {"*n", "'(1 2 3)", ""},
      {"*n", "'(1 x 3)", "Wrong type: x"},
      {"n*n", "'()", "Wrong number of arguments: self"},
      {"n*n", "'(1)", ""},
      {"n*n", "'(10 2 99)", ""},
      {"nn*n", "'(1 2 #\\3)", "Wrong type: #\\3"},
      {"*c", "'(#\\a 1)", "Wrong type: 1"},
      {".*.", "'(1 \"a\" b)", ""},
      {"snc", "'(\"s\" 1 #\\c)", ""},
      {"snc", "'(\"s\" 1)", "Wrong number of arguments: self"},
      {"snc", "'(\"s\" x)", "Wrong type: x"},
  };
  for (const Case& c : cases) {
    Session s;
    Value list = s.run(c.args);
    std::vector<Value> args;
    for (Value p = list; scheme::isPair(p); p = scheme::as<scheme::Pair>(p)->cdr())
      args.push_back(scheme::as<scheme::Pair>(p)->car());
    Value self = s.in().internName("self");
    std::string report;
    try {
      scheme::checkArguments(s.in(), self, c.argSpec, static_cast<int32_t>(args.size()),
                             args.data());
    } catch (const scheme_test::SchemeError&) {
      report = s.out().text();
    }
    EXPECT_EQ(*c.error ? std::string(c.error) + "\n\n" : "", report) << c.argSpec << " " << c.args;
  }
}

TEST(Registry, CallsCheckTheSpecBeforeTheFunctionRuns) {
  EXPECT_EQ(TopLevelReport("Wrong type: 5", "(test-car 5 6)"), EvalError("(test-car 5 6)"));
  EXPECT_EQ(
      TopLevelReport("Wrong number of arguments: #<builtin: test-car>", "(test-car (quote (1)) 6)"),
      EvalError("(test-car '(1) 6)"));
  EXPECT_EQ(TopLevelReport("Wrong number of arguments: #<builtin: test-sub>", "(test-sub 1)"),
            EvalError("(test-sub 1)"));
  EXPECT_EQ(TopLevelReport("Wrong number of arguments: #<builtin: test-frames>", "(test-frames 1)"),
            EvalError("(test-frames 1)"));
  // The host's calls are checked the same way.
  Session s;
  Value car = s.run("test-car");
  Value five = Value::makeNumber(5);
  EXPECT_THROW(s.in().call(car, 1, &five), scheme_test::SchemeError);
  EXPECT_EQ("Wrong type: 5\n\n", s.out().text());
}

TEST(Registry, RegistrationReplacesTheGlobalValue) {
  Session s;
  scheme::Interpreter& in = s.in();
  const scheme::Builtin* first = scheme::Builtin::head();
  ASSERT_NE(nullptr, first);
  scheme::Symbol* name = in.internName(first->name());
  Value before = name->globalValue();
  name->setGlobalValue(Value::makeNumber(1));
  scheme::registerBuiltin(in, first);
  EXPECT_NE(before, name->globalValue());
  EXPECT_EQ(first, scheme::as<scheme::BuiltinProcedure>(name->globalValue())->builtin());

  const scheme::Syntax* syntax = scheme::Syntax::head();
  scheme::Symbol* keyword = in.internName(syntax->name());
  keyword->setGlobalValue(Value::makeNumber(2));
  scheme::registerSyntax(in, syntax);
  EXPECT_TRUE(scheme::isType(keyword->globalValue(), scheme::TypeCode::SpecialForm));
  EXPECT_EQ("#<syntax: " + std::string(syntax->name()) + ">", s.written(keyword->globalValue()));
}

}  // namespace
