// The keyword table: the built-in rows, case-insensitive interning, the
// bucket hash and the grammar words.
#include "engine/keyword_table.h"

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "common/date.h"
#include "gtest/gtest.h"

namespace {

using engine::Keyword;

// Any value will do as the "unspecified" marker: the table only stores it.
const scheme::Value kMarker = scheme::Value::makeNumber(4711);

TEST(KeywordTable, BuiltinRowsAreEnteredWithTheirFlags) {
  engine::resetKeywordTable(kMarker);
  int weekdays = 0, months = 0, ordinals = 0, units = 0, dayUnits = 0, actions = 0;
  std::set<const Keyword*> entries;
  for (const engine::KeywordRow& row : engine::kBuiltinKeywords) {
    SCOPED_TRACE(row.word);
    Keyword* k = engine::internKeyword(row.word);
    entries.insert(k);
    EXPECT_STREQ(row.word, k->name);
    EXPECT_EQ(row.flags, k->flags);
    EXPECT_EQ(kMarker, k->value);
    uint32_t value = engine::flagValue(row.flags);
    // Every name starts with the three-letter name of its weekday or month.
    if (k->has(engine::WeekdayFlag)) {
      ++weekdays;
      ASSERT_TRUE(value >= 1 && value <= 7);
      EXPECT_EQ(0, std::strncmp(row.word, pendra::kWeekdayNames[value], 3));
    }
    if (k->has(engine::MonthFlag)) {
      ++months;
      ASSERT_TRUE(value >= 1 && value <= 12);
      EXPECT_EQ(0, std::strncmp(row.word, pendra::kMonthNames[value], 3));
    }
    if (k->has(engine::OrdinalFlag)) ++ordinals;
    if (k->has(engine::UnitFlag)) ++units;
    if (k->has(engine::DayUnitFlag)) {
      ++dayUnits;
      EXPECT_TRUE(value == 1 || value == 7);
    }
    if (k->has(engine::ActionFlag)) ++actions;
  }
  EXPECT_EQ(52u, entries.size());
  EXPECT_EQ(14, weekdays);
  EXPECT_EQ(23, months);
  EXPECT_EQ(6, ordinals);
  EXPECT_EQ(8, units);
  EXPECT_EQ(4, dayUnits);
  EXPECT_EQ(1, actions);

  EXPECT_EQ(0x10000006u, engine::internKeyword("last")->flags);
  EXPECT_EQ(0x0c000007u, engine::internKeyword("weeks")->flags);
  EXPECT_EQ(0x0400fffeu, engine::internKeyword("month")->flags);
  EXPECT_EQ(0x0400ffffu, engine::internKeyword("years")->flags);
  EXPECT_EQ(0x40000005u, engine::internKeyword("MAY")->flags);
}

TEST(KeywordTable, WordsAreCaseInsensitiveAndKeepTheirFirstSpelling) {
  engine::resetKeywordTable(kMarker);
  Keyword* monday = engine::internKeyword("monday");
  EXPECT_EQ(monday, engine::internKeyword("Monday"));
  EXPECT_EQ(monday, engine::internKeyword("MONDAY"));
  EXPECT_EQ(engine::internKeyword("jan"), engine::internKeyword("JAN"));
  EXPECT_NE(engine::internKeyword("jan"), engine::internKeyword("january"));

  Keyword* zebra = engine::internKeyword("Zebra");
  EXPECT_EQ(0u, zebra->flags);
  EXPECT_EQ(kMarker, zebra->value);
  EXPECT_EQ(zebra, engine::internKeyword("zEBRA"));
  EXPECT_STREQ("Zebra", zebra->name);

  // Names are compared whole: a prefix or an extension is another word.
  EXPECT_NE(zebra, engine::internKeyword("Zebr"));
  EXPECT_NE(zebra, engine::internKeyword("Zebras"));
  // A name given with a length stops there.
  EXPECT_EQ(zebra, engine::internKeyword("zebra crossing", 5));
  // Only ASCII letters fold.
  EXPECT_NE(engine::internKeyword("\xe9t\xe9"), engine::internKeyword("\xc9T\xc9"));
}

TEST(KeywordTable, BucketHashFoldsCaseAndReadsBytesAsSigned) {
  struct {
    const char* name;
    uint32_t bucket;
  } cases[] = {
      {"a", 30},
      {"ab", 23},
      {"AB", 23},
      {"monday", 66},
      {"MonDay", 66},
      {"\xe9t\xe9", 62},   // bytes above 127 count as negative
      {"zzzzzzzzzz", 65},  // wraps in 32 bits
      {"", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.bucket, engine::keywordBucket(c.name, std::strlen(c.name))) << c.name;
}

TEST(KeywordTable, GrowsAndKeepsEveryEntry) {
  engine::resetKeywordTable(kMarker);
  Keyword* monday = engine::internKeyword("monday");
  std::vector<Keyword*> made;
  for (int i = 0; i < 20000; ++i)
    made.push_back(engine::internKeyword(("word" + std::to_string(i)).c_str()));
  for (int i = 0; i < 20000; ++i)
    ASSERT_EQ(made[i], engine::internKeyword(("WORD" + std::to_string(i)).c_str())) << i;
  EXPECT_EQ(monday, engine::internKeyword("Monday"));
  EXPECT_EQ(engine::WeekdayFlag | 2, monday->flags);
  // A reset after growth starts from the built-in words again.
  engine::resetKeywordTable(kMarker);
  EXPECT_EQ(0u, engine::internKeyword("word7")->flags);
  EXPECT_EQ(engine::WeekdayFlag | 2, engine::internKeyword("MONDAY")->flags);
}

TEST(KeywordTable, GrammarWordsAreDistinctPlainWords) {
  engine::resetKeywordTable(kMarker);
  const char* names[] = {"on",  "or",    "before", "after", "previous",
                         "and", "every", "until",  "for",   "except"};
  std::set<const Keyword*> seen;
  for (int i = 0; i < engine::kGrammarWordCount; ++i) {
    Keyword* k = engine::grammarKeyword(static_cast<engine::GrammarWord>(i));
    EXPECT_STREQ(names[i], k->name);
    EXPECT_EQ(0u, k->flags);
    EXPECT_EQ(k, engine::internKeyword(names[i]));
    seen.insert(k);
  }
  EXPECT_EQ(10u, seen.size());
  EXPECT_EQ(engine::grammarKeyword(engine::GrammarWord::Before), engine::internKeyword("BEFORE"));
}

TEST(KeywordTable, ResetForgetsBindingsAndNewWords) {
  engine::resetKeywordTable(kMarker);
  Keyword* monday = engine::internKeyword("monday");
  monday->flags = engine::SpecifierProcFlag;
  monday->value = scheme::Value::makeNumber(1);
  engine::internKeyword("thirteenth")->flags = engine::SpecifierProcFlag | 1;

  const scheme::Value other = scheme::Value::makeNumber(99);
  engine::resetKeywordTable(other);
  EXPECT_EQ(0x80000002u, engine::internKeyword("monday")->flags);
  EXPECT_EQ(other, engine::internKeyword("monday")->value);
  EXPECT_EQ(0u, engine::internKeyword("thirteenth")->flags);
}

}  // namespace
