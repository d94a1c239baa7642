#include "engine/keyword_table.h"

#include <cstring>
#include <vector>

namespace engine {

const KeywordRow kBuiltinKeywords[52] = {
    {"sun", WeekdayFlag | 1},
    {"sunday", WeekdayFlag | 1},
    {"mon", WeekdayFlag | 2},
    {"monday", WeekdayFlag | 2},
    {"tue", WeekdayFlag | 3},
    {"tuesday", WeekdayFlag | 3},
    {"wed", WeekdayFlag | 4},
    {"wednesday", WeekdayFlag | 4},
    {"thu", WeekdayFlag | 5},
    {"thursday", WeekdayFlag | 5},
    {"fri", WeekdayFlag | 6},
    {"friday", WeekdayFlag | 6},
    {"sat", WeekdayFlag | 7},
    {"saturday", WeekdayFlag | 7},

    {"jan", MonthFlag | 1},
    {"january", MonthFlag | 1},
    {"feb", MonthFlag | 2},
    {"february", MonthFlag | 2},
    {"mar", MonthFlag | 3},
    {"march", MonthFlag | 3},
    {"apr", MonthFlag | 4},
    {"april", MonthFlag | 4},
    {"may", MonthFlag | 5},
    {"jun", MonthFlag | 6},
    {"june", MonthFlag | 6},
    {"jul", MonthFlag | 7},
    {"july", MonthFlag | 7},
    {"aug", MonthFlag | 8},
    {"august", MonthFlag | 8},
    {"sep", MonthFlag | 9},
    {"september", MonthFlag | 9},
    {"oct", MonthFlag | 10},
    {"october", MonthFlag | 10},
    {"nov", MonthFlag | 11},
    {"november", MonthFlag | 11},
    {"dec", MonthFlag | 12},
    {"december", MonthFlag | 12},

    {"remind", ActionFlag | kRemindAction},

    {"first", OrdinalFlag | 1},
    {"second", OrdinalFlag | 2},
    {"third", OrdinalFlag | 3},
    {"fourth", OrdinalFlag | 4},
    {"fifth", OrdinalFlag | 5},
    {"last", OrdinalFlag | 6},

    {"day", DayUnitFlag | UnitFlag | 1},
    {"days", DayUnitFlag | UnitFlag | 1},
    {"week", DayUnitFlag | UnitFlag | 7},
    {"weeks", DayUnitFlag | UnitFlag | 7},
    {"month", UnitFlag | kMonthUnit},
    {"months", UnitFlag | kMonthUnit},
    {"year", UnitFlag | kYearUnit},
    {"years", UnitFlag | kYearUnit},
};

namespace {

// In GrammarWord order.
const char* const kGrammarWords[kGrammarWordCount] = {"on",  "or",    "before", "after", "previous",
                                                      "and", "every", "until",  "for",   "except"};

// 67 buckets at first, doubled whenever there are more entries than buckets.
std::vector<Keyword*> gBuckets(kKeywordBuckets, nullptr);
size_t gCount = 0;
Keyword* gGrammar[kGrammarWordCount] = {};
scheme::Value gUnspecified;

char foldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(const char* entry, const char* name, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (entry[i] == '\0' || foldCase(entry[i]) != foldCase(name[i])) return false;
  }
  return entry[length] == '\0';
}

}  // namespace

Keyword::Keyword(const char* text, size_t length, scheme::Value initial, Keyword* link)
    : name(new char[length + 1]), flags(0), value(initial), next(link) {
  std::memcpy(name, text, length);
  name[length] = '\0';
}

uint32_t keywordHash(const char* name, size_t length) {
  uint32_t h = 0;
  for (size_t i = 0; i < length; ++i) {
    int32_t b = static_cast<signed char>(foldCase(name[i]));
    h = h * 31u + static_cast<uint32_t>(b);
  }
  return h;
}

uint32_t keywordBucket(const char* name, size_t length) {
  return keywordHash(name, length) % kKeywordBuckets;
}

namespace {

// Bucket i splits into i and i + n (h mod 2n mod n is h mod n), and each
// chain keeps its order.
void growTable() {
  size_t n = gBuckets.size();
  std::vector<Keyword*> grown(2 * n, nullptr);
  std::vector<Keyword*> tails(2 * n, nullptr);
  for (Keyword* k : gBuckets) {
    while (k != nullptr) {
      Keyword* next = k->next;
      size_t b = keywordHash(k->name, std::strlen(k->name)) % (2 * n);
      k->next = nullptr;
      if (tails[b] == nullptr)
        grown[b] = k;
      else
        tails[b]->next = k;
      tails[b] = k;
      k = next;
    }
  }
  gBuckets.swap(grown);
}

}  // namespace

Keyword* internKeyword(const char* name, size_t length) {
  Keyword*& bucket = gBuckets[keywordHash(name, length) % gBuckets.size()];
  for (Keyword* k = bucket; k != nullptr; k = k->next) {
    if (sameName(k->name, name, length)) return k;
  }
  Keyword* k = new Keyword(name, length, gUnspecified, bucket);
  bucket = k;
  if (++gCount > gBuckets.size()) growTable();
  return k;
}

Keyword* internKeyword(const char* name) { return internKeyword(name, std::strlen(name)); }

Keyword* grammarKeyword(GrammarWord word) { return gGrammar[static_cast<int>(word)]; }

void resetKeywordTable(scheme::Value unspecified) {
  for (Keyword* k : gBuckets) {
    while (k != nullptr) {
      Keyword* next = k->next;
      delete k;
      k = next;
    }
  }
  gBuckets.assign(kKeywordBuckets, nullptr);
  gCount = 0;
  gUnspecified = unspecified;
  for (const KeywordRow& row : kBuiltinKeywords) internKeyword(row.word)->flags = row.flags;
  for (int i = 0; i < kGrammarWordCount; ++i) gGrammar[i] = internKeyword(kGrammarWords[i]);
}

}  // namespace engine
