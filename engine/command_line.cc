#include "engine/command_line.h"

#include <strings.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/ical.h"
#include "engine/listing_writer.h"
#include "engine/platform.h"

namespace engine {

namespace {

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
    const OutputOption* output = nullptr;
    for (const OutputOption& o : kOutputOptions) {
      if (o.letter == letter) output = &o;
    }
    if (output != nullptr) {
      cl->writer = output->make;
      continue;
    }
    if (letter != 'a' && letter != 'b' && letter != 'f') return OptionResult::kUsage;
    if (i + 1 >= argc) return OptionResult::kUsage;  // the value is missing
    const char* value = argv[++i];
    if (letter == 'a') cl->after = toInt(value);
    if (letter == 'b') cl->before = toInt(value);
    if (letter == 'f') cl->fileName = value;
  }
  cl->firstDateWord = i;
  return OptionResult::kRun;
}

void applyDateWords(int count, char** words, pendra::Date* target) {
  for (int i = 0; i < count; ++i) {
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
