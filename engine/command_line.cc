#include "engine/command_line.h"

#include <strings.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/diagnostics.h"
#include "engine/ical.h"
#include "engine/listing_writer.h"
#include "engine/platform.h"

namespace engine {

namespace {
std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// The options that choose another writer than the report's; the last given
// wins.
struct OutputOption {
  char letter;
  WriterFactory make;
};
const OutputOption kOutputOptions[] = {
    {'i', makeCalendarWriter},  // iCalendar
    {'l', makeListingWriter},   // the listing for programs
};

}  // namespace

int toInt(const char* text) {
  long v = std::strtol(text, nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

OptionResult parseOptions(int argc, char** argv, CommandLine* cl) {
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    char letter = argv[i][1];
    if (letter == 'v') return OptionResult::kVersion;
    const std::string word = argv[i];
    const std::string option = word.substr(0, 2);
    const OutputOption* output = nullptr;
    for (const OutputOption& o : kOutputOptions) {
      if (o.letter == letter) output = &o;
    }
    if (output != nullptr || letter == 'k') {
      if (output != nullptr) cl->writer = output->make;
      if (letter == 'k') cl->keepGoing = true;
      if (word.size() > 2)
        cl->warnings.push_back(quoted(word) + " is read as " + quoted(option) +
                               "; write each option apart");
      continue;
    }
    if (letter != 'a' && letter != 'b' && letter != 'f') return OptionResult::kUsage;
    if (i + 1 >= argc) return OptionResult::kUsage;  // the value is missing
    if (word.size() > 2)
      cl->warnings.push_back(quoted(word) + " is read as " + quoted(option) +
                             ", and the next word as its value; write " +
                             quoted(option + " " + word.substr(2)));
    const char* value = argv[++i];
    if (letter == 'a') cl->after = toInt(value);
    if (letter == 'b') cl->before = toInt(value);
    if (letter == 'f') cl->fileName = value;
  }
  cl->firstDateWord = i;
  return OptionResult::kRun;
}

namespace {

bool isDigits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// Why a date word is ignored or misread, with the fix; "" for a good word.
std::string dateWordWarning(int count, char** words, int i) {
  const std::string word = words[i];
  if (word.size() >= 2 && word[0] == '-' && std::isalpha(static_cast<unsigned char>(word[1]))) {
    std::string text = quoted(word) + " after the date words is ignored";
    if (i + 1 < count && (word[1] == 'a' || word[1] == 'b' || word[1] == 'f'))
      text += ", and " + quoted(words[i + 1]) + " is read as a date word";
    return text + "; put options before the date words";
  }
  int v = toInt(words[i]);
  // 2026-12-24: atoi stops at the first dash.
  size_t dash1 = word.find('-');
  size_t dash2 = dash1 == std::string::npos ? dash1 : word.find('-', dash1 + 1);
  if (v >= 32 && dash2 != std::string::npos && isDigits(word.substr(0, dash1)) &&
      isDigits(word.substr(dash1 + 1, dash2 - dash1 - 1)) && isDigits(word.substr(dash2 + 1))) {
    int month = toInt(word.substr(dash1 + 1).c_str());
    int day = toInt(word.substr(dash2 + 1).c_str());
    std::string text = quoted(word) + " read as the year " + std::to_string(v);
    if (month >= 1 && month <= 12 && day >= 1 && day <= 31)
      text += "; write " + std::to_string(day) + " " + pendra::kMonthNames[month] + " " +
              std::to_string(v);
    return text;
  }
  if (v != 0) return "";
  for (int m = 1; m <= 12; ++m) {
    if (strcasecmp(words[i], pendra::kMonthNames[m]) == 0) return "";
  }
  return "date word " + quoted(word) + " ignored" + suggestionHint(words[i], true);
}

}  // namespace

void printWarnings(const std::vector<std::string>& warnings, std::FILE* out) {
  for (const std::string& w : warnings) {
    std::fprintf(out, "pendcal: warning: %s\n", w.c_str());
    countProblem();
  }
}

void applyDateWords(int count, char** words, pendra::Date* target,
                    std::vector<std::string>* warnings) {
  for (int i = 0; i < count; ++i) {
    if (warnings != nullptr) {
      std::string w = dateWordWarning(count, words, i);
      if (!w.empty()) warnings->push_back(w);
    }
    int v = toInt(words[i]);
    if (v != 0 && v <= 31) {
      target->day = static_cast<uint8_t>(v);
    } else if (v >= 32) {
      target->year = static_cast<uint32_t>(v);
    } else {
      for (int m = 1; m <= 12; ++m) {
        if (strcasecmp(words[i], pendra::kMonthNames[m]) == 0) {
          target->month = static_cast<uint8_t>(m);
          break;
        }
      }
    }
  }
}

std::FILE* findReminderFile(const char** fileName) {
  // The path stays valid for the whole run: error messages name it.
  static std::string path;
  for (const SearchPlace& place : searchPlaces()) {
    if (place.path.empty()) continue;
    path = place.path;
    *fileName = path.c_str();
    if (std::FILE* f = openForReading(path.c_str())) return f;
    // A file that is there but cannot be read is reported, not passed over.
    if (errno != ENOENT && errno != ENOTDIR) return nullptr;
  }
  *fileName = nullptr;
  return nullptr;
}

void printUsage() {
  std::printf("usage: pendcal [OPTION] [DATE]\n");
  std::printf("    -v               version\n");
  std::printf("    -b <days>        days before\n");
  std::printf("    -a <days>        days after\n");
  std::printf("    -f <filename>    pendra file\n");
  std::printf("    -i               iCalendar output\n");
  std::printf("DATE: day, month, and year in any order\n");
  std::printf("month is jan, feb, ... dec\n\n");
  std::printf("if no filename is specified, pendcal looks for the following:\n");
  for (const SearchPlace& place : searchPlaces()) std::printf("%s\n", place.shown.c_str());
  std::exit(1);
}

void printVersion() { std::printf("pendcal 0.1 (%s)\n", __DATE__); }

}  // namespace engine
