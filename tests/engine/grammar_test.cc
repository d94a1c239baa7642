// The specifier grammar: what each form selects, where parsing stops, and
// every message at the token where it is reported.
#include "engine/grammar.h"

#include <memory>
#include <string>

#include "engine/keyword_table.h"
#include "gtest/gtest.h"
#include "scheme/objects.h"
#include "tests/engine/engine_test.h"

namespace {

using engine_test::Day;
using engine_test::Selected;
using engine_test::Session;

// The tokens of the first entry of text (a period is added).
engine::TokenList Tokens(Session& s, const std::string& text) {
  engine::TokenList tokens;
  EXPECT_TRUE(s.reader(text + ".").readEntryTokens(&tokens));
  return tokens;
}

// Parses one specifier from the start of text; *next receives the index of
// the first token not used.
std::unique_ptr<engine::Specifier> Parse(Session& s, const std::string& text,
                                         int32_t* next = nullptr) {
  engine::TokenList tokens = Tokens(s, text);
  std::unique_ptr<engine::Specifier> specifier;
  int32_t index = engine::parseSpecifier(s.in(), tokens, 0, &specifier);
  if (next != nullptr) *next = index;
  return specifier;
}

// The days of 2005 that text selects.
std::string In2005(const std::string& text) {
  Session s;
  auto specifier = Parse(s, text);
  return Selected(*specifier, Day(1, 1, 2005), Day(31, 12, 2005));
}

std::string ParseError(const std::string& text) {
  Session s;
  engine::TokenList tokens = Tokens(s, text);
  return engine_test::ReportOf([&] {
    std::unique_ptr<engine::Specifier> spec;
    engine::parseSpecifier(s.in(), tokens, 0, &spec);
  });
}

TEST(Grammar, DatePartsInAnyOrder) {
  struct {
    const char* text;
    const char* selected;
  } cases[] = {
      {"jan 5 2005", "5 jan 2005"},
      {"5 jan 2005", "5 jan 2005"},
      {"2005 5 JAN", "5 jan 2005"},
      {"jan 5 2006", ""},
      {"fri 13 may 2005", "13 may 2005"},
      {"31 feb", ""},
      {"dec thu", "1 dec 2005, 8 dec 2005, 15 dec 2005, 22 dec 2005, 29 dec 2005"},
      {"first monday sep", "5 sep 2005"},
      {"last fri dec", "30 dec 2005"},
      {"sat sun after 1 jan", "2 jan 2005"},
      {"mon on or before may 24", "23 may 2005"},
      {"Tuesday on or before may 24", "24 may 2005"},
      {"mon before jan", ""},
      {"jan 15 2005 every 2 weeks until jun 30 2005",
       "15 jan 2005, 29 jan 2005, 12 feb 2005, 26 feb 2005, 12 mar 2005, 26 mar 2005, "
       "9 apr 2005, 23 apr 2005, 7 may 2005, 21 may 2005, 4 jun 2005, 18 jun 2005"},
      {"jul 1 every 1 month for 2 months except jul 1 2004 except aug 1 2005", "1 jul 2005"},
      {"dec 1 every day for 1 week",
       "1 dec 2005, 2 dec 2005, 3 dec 2005, 4 dec 2005, "
       "5 dec 2005, 6 dec 2005, 7 dec 2005"},
      {"jan 1 2004 every 100 weeks", "1 dec 2005"},
      {"1 jan 2000 every 5 years", "1 jan 2005"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.selected, In2005(c.text)) << c.text;
}

TEST(Grammar, StopsWhereTheSpecifierEnds) {
  struct {
    const char* text;
    int32_t next;
  } cases[] = {
      {"", 0},
      {"remind [x]", 0},
      {"jan 1 remind [x]", 2},
      {"jan 1 and dec 25", 2},
      {"jan 1 except feb 2", 2},
      {"jan 1 every week until mar 1 for 3 weeks", 7},
      {"jan 1 every week for 3 weeks except feb 5 previous", 10},
      {"mon or before 5", 1},
      {"first mon [x]", 2},
      {"sat sun after 1 jan previous 2 days", 5},
      {"1 [text] 2", 1},
  };
  for (const auto& c : cases) {
    Session s;
    int32_t next = -1;
    Parse(s, c.text, &next);
    EXPECT_EQ(c.next, next) << c.text;
  }
  // An empty date part selects every day.
  Session s;
  auto any = Parse(s, "remind [x]");
  EXPECT_EQ("30 jun 2005, 1 jul 2005", Selected(*any, Day(30, 6, 2005), Day(1, 7, 2005)));
}

TEST(Grammar, ReportsEachFaultAtItsToken) {
  struct {
    const char* text;
    const char* report;
  } cases[] = {
      {"fri\n13", "test.pnd(2): error: day of week and day of month conflict\n"},
      {"fri 13\nmay", "test.pnd(2): error: day of week and day of month conflict\n"},
      {"fri 14 may 2005\nremind", "test.pnd(1): error: day of week and day of month conflict\n"},
      {"monday\ntuesday", "test.pnd(2): error: day of week specified twice\n"},
      {"\non or before 5", "test.pnd(2): error: weekday(s) missing before on, before, or after\n"},
      {"after jan 1", "test.pnd(1): error: weekday(s) missing before on, before, or after\n"},
      {"mon on\nbefore 5", "test.pnd(2): error: or missing after on\n"},
      {"mon\non", "test.pnd(2): error: or missing after on\n"},
      {"mon on or\n5", "test.pnd(2): error: missing before or after\n"},
      {"mon on or [before]", "test.pnd(1): error: missing before or after\n"},
      {"mon\non\nor", "test.pnd(3): error: missing before or after\n"},
      {"\nfirst", "test.pnd(2): error: expected a week day\n"},
      {"first\njan", "test.pnd(2): error: expected a week day\n"},
      {"jan 31\nevery 1", "test.pnd(2): error: missing step for every\n"},
      {"jan 31 every\n[x]", "test.pnd(2): error: missing step for every\n"},
      {"jan\nevery week", "test.pnd(2): error: must specify day and month for every\n"},
      {"5 every week", "test.pnd(1): error: must specify day and month for every\n"},
      {"last mon jan\nevery year",
       "test.pnd(2): error: can not use every with an nth or an offset\n"},
      {"mon before 5\nevery week",
       "test.pnd(2): error: can not use every with an nth or an offset\n"},
      {"jan 1 every year until\nfeb", "test.pnd(2): error: must specify day and month for until\n"},
      {"jan 1 every year until 5\n\nremind [x]",
       "test.pnd(3): error: must specify day and month for until\n"},
      {"jan 1 every week\nfor", "test.pnd(2): error: missing count in for\n"},
      {"jan 1 every week for\nweeks", "test.pnd(2): error: missing count in for\n"},
      {"jan 1 every week for 3", "test.pnd(1): error: missing step in for\n"},
      {"jan 1 every week for 3\nremind [x]", "test.pnd(2): error: missing step in for\n"},
      {"jan 1 every year except\nfeb",
       "test.pnd(2): error: must specify day and month for except\n"},
      {"jan 1 every year except 5 jun except 5\nremind [x]",
       "test.pnd(2): error: must specify day and month for except\n"},
      {"5\n6", "test.pnd(2): error: day of month specified twice\n"},
      {"2005 jan\n2006", "test.pnd(2): error: year specified twice\n"},
      {"jan 1 every year until 5 jan 2005 2006", "test.pnd(1): error: year specified twice\n"},
      {"jan\nfeb", "test.pnd(2): error: month specified twice\n"},
      {"0", "test.pnd(1): error: unexpected number\n"},
      {"jan\n32", "test.pnd(2): error: unexpected number\n"},
      {"1799", "test.pnd(1): error: unexpected number\n"},
      {"3001", "test.pnd(1): error: unexpected number\n"},
      {"99999999999", "test.pnd(1): error: unexpected number\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.report, ParseError(c.text)) << c.text;
  // The limits of the ranges are accepted.
  for (const char* text : {"1800", "3000", "31", "1"})
    EXPECT_EQ("<no error>", ParseError(text)) << text;
}

TEST(Grammar, WordsBoundToProceduresAreSpecifiers) {
  Session s;
  s.define("wanted", scheme::Value::makeHost(pendra::packDate(13, 5, 2005)));
  engine::Keyword* odd = engine::internKeyword("oddday");
  odd->flags = engine::SpecifierProcFlag;
  odd->value = s.eval("(lambda (d) (eq? d wanted))");
  int32_t next = -1;
  auto test = Parse(s, "OddDay 5 remind [x]", &next);
  EXPECT_EQ(1, next);
  EXPECT_NE(nullptr, dynamic_cast<engine::TestProcSpecifier*>(test.get()));
  EXPECT_EQ("13 may 2005", Selected(*test, Day(1, 1, 2005), Day(31, 12, 2005)));

  // A rebound weekday name is a procedure, not a weekday, any more.
  engine::Keyword* monday = engine::internKeyword("Monday");
  monday->flags = engine::SpecifierProcFlag | 1;
  s.define("days", scheme::cons(s.in(), s.global("wanted"), s.in().emptyList()));
  monday->value = s.eval("(lambda (y) days)");
  auto set = Parse(s, "monday", &next);
  EXPECT_EQ(1, next);
  EXPECT_NE(nullptr, dynamic_cast<engine::SetProcSpecifier*>(set.get()));
  EXPECT_EQ("13 may 2005", Selected(*set, Day(1, 1, 2005), Day(31, 12, 2005)));
}

}  // namespace
