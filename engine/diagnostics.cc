#include "engine/diagnostics.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/keyword_table.h"

namespace engine {

namespace {

bool gKeepGoing = false;
int gProblems = 0;
std::FILE* gMessages = nullptr;  // standard error unless set
void (*gFlush)() = nullptr;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(const char* word) {
  std::string s;
  for (const char* p = word; *p != '\0'; ++p) s.push_back(lower(*p));
  return s;
}

bool startsWith(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// A spelling that may be meant, and the keyword to suggest for it.
struct Candidate {
  std::string spelling;
  std::string keyword;
};

// The three-letter name of a weekday or month row, from the rows' flags.
std::string shortName(uint32_t flags) {
  for (const KeywordRow& row : kBuiltinKeywords) {
    if (row.flags == flags && std::strlen(row.word) == 3) return row.word;
  }
  return "";
}

std::vector<Candidate> candidates(bool monthsOnly) {
  std::vector<Candidate> all;
  for (const KeywordRow& row : kBuiltinKeywords) {
    bool month = (row.flags & MonthFlag) != 0;
    if (monthsOnly && !month) continue;
    // On the command line only the three-letter form counts.
    all.push_back({row.word, monthsOnly ? shortName(row.flags) : row.word});
  }
  if (!monthsOnly) {
    for (int i = 0; i < kGrammarWordCount; ++i) {
      const char* name = grammarKeyword(static_cast<GrammarWord>(i))->name;
      all.push_back({name, name});
    }
  }
  return all;
}

}  // namespace

bool keepGoing() { return gKeepGoing; }
void setKeepGoing(bool on) { gKeepGoing = on; }

int problemsReported() { return gProblems; }
void countProblem() { ++gProblems; }

void setMessageStream(std::FILE* out, void (*flush)()) {
  gMessages = out;
  gFlush = flush;
}

std::FILE* messageStream() { return gMessages != nullptr ? gMessages : stderr; }

void flushBeforeMessage() {
  if (gFlush != nullptr) gFlush();
}

void warn(const char* file, int32_t line, const std::string& text) {
  flushBeforeMessage();
  std::FILE* out = messageStream();
  if (file != nullptr) std::fprintf(out, "%s(%d): ", file, static_cast<int>(line));
  std::fprintf(out, "warning: %s\n", text.c_str());
  countProblem();
}

int editDistance(const std::string& a, const std::string& b) {
  // Optimal string alignment: Levenshtein plus swaps of neighbours.
  const size_t n = a.size(), m = b.size();
  std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1, 0));
  for (size_t i = 0; i <= n; ++i) d[i][0] = static_cast<int>(i);
  for (size_t j = 0; j <= m; ++j) d[0][j] = static_cast<int>(j);
  for (size_t i = 1; i <= n; ++i) {
    for (size_t j = 1; j <= m; ++j) {
      int cost = lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) &&
          lower(a[i - 2]) == lower(b[j - 1]))
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[n][m];
}

std::string suggestKeyword(const char* word, bool monthsOnly) {
  std::string w = lowered(word);
  if (w.empty()) return "";
  // Names of weekdays and months, written out or cut short.
  for (const KeywordRow& row : kBuiltinKeywords) {
    if ((row.flags & (WeekdayFlag | MonthFlag)) == 0) continue;
    if (monthsOnly && (row.flags & MonthFlag) == 0) continue;
    std::string full = row.word;
    if (full.size() <= 3) continue;
    // In a reminder file the full name is a keyword itself; on the command
    // line it is not.
    bool cut = w.size() > 3 && w.size() < full.size() && startsWith(full, w);
    bool longer = startsWith(w, full) && (w.size() > full.size() || monthsOnly);
    if (cut || longer) return shortName(row.flags);
  }
  // Otherwise the one closest keyword. Short words get only one edit, or
  // nearly every short keyword would be within reach.
  const int reach = w.size() <= 3 ? 1 : 2;
  int best = reach + 1;
  std::string found;
  bool tie = false;
  for (const Candidate& c : candidates(monthsOnly)) {
    int d = editDistance(w, c.spelling);
    if (d == 0) return "";  // the word is a keyword itself
    if (d < best) {
      best = d;
      found = c.keyword;
      tie = false;
    } else if (d == best && c.keyword != found) {
      tie = true;
    }
  }
  return best <= reach && !tie ? found : "";
}

std::string suggestionHint(const char* word, bool monthsOnly) {
  std::string k = suggestKeyword(word, monthsOnly);
  return k.empty() ? "" : " (did you mean \"" + k + "\"?)";
}

}  // namespace engine
