// The keyword suggested for a misspelt word, and the edit distance behind it.
#include "engine/diagnostics.h"

#include "engine/engine_test.h"
#include "gtest/gtest.h"

namespace {

TEST(Diagnostics, SuggestsTheOneKeywordAWordWasLikelyMeantToBe) {
  engine_test::Session session;  // fills the keyword table
  struct Row {
    const char* word;
    bool monthsOnly;
    const char* suggestion;
  };
  const Row rows[] = {
      {"evrey", false, "every"}, {"remnd", false, "remind"}, {"fridya", false, "friday"},
      {"sept", false, "sep"},    {"thurs", false, "thu"},    {"Septembers", false, "sep"},
      {"dya", false, "day"},     {"ma", false, ""},          {"xyzzy", false, ""},
      {"thursday", false, ""},   {"july", true, "jul"},      {"september", true, "sep"},
      {"decmber", true, "dec"},  {"monday", true, ""},       {"evrey", true, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.word);
    EXPECT_EQ(r.suggestion, engine::suggestKeyword(r.word, r.monthsOnly));
  }
  EXPECT_EQ(" (did you mean \"jul\"?)", engine::suggestionHint("july", true));
  EXPECT_EQ("", engine::suggestionHint("xyzzy"));
}

TEST(Diagnostics, EditDistanceCountsChangesAddsDropsAndSwaps) {
  struct Row {
    const char* a;
    const char* b;
    int distance;
  };
  const Row rows[] = {{"abc", "abc", 0},     {"Remind", "REMIND", 0}, {"", "ab", 2},
                      {"evrey", "every", 1}, {"remnd", "remind", 1},  {"kitten", "sitting", 3}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.a) + " " + r.b);
    EXPECT_EQ(r.distance, engine::editDistance(r.a, r.b));
    EXPECT_EQ(r.distance, engine::editDistance(r.b, r.a));
  }
}

}  // namespace
