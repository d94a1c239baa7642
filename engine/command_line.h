// pendcal's command line: options, date words, the usage text and the
// default search for the reminder file.
#ifndef PENDRA_ENGINE_COMMAND_LINE_H_
#define PENDRA_ENGINE_COMMAND_LINE_H_

#include <cstdio>
#include <string>
#include <vector>

#include "common/date.h"
#include "engine/scan_window.h"

namespace engine {

struct CommandLine {
  int before = 0;
  int after = 0;
  const char* fileName = nullptr;  // absent unless -f
  int firstDateWord = 0;           // index in argv of the first date word
  WriterFactory writer = nullptr;  // -i, -l: instead of the report
  bool keepGoing = false;          // -k: see engine/diagnostics.h
  // What the options ignored, each with its fix; printed with -k.
  std::vector<std::string> warnings;
};

enum class OptionResult { kRun, kVersion, kUsage };

// Reads the options ("-a N", "-b N", "-f NAME", "-k", "-v", and the output
// options of the table in command_line.cc: "-i", "-l") from argv[1] on, left
// to right, stopping at the first argument that does not start with "-".
// An unknown letter, a lone "-", or -a/-b/-f with no value after it asks for
// the usage text; "-v" stops at once.
OptionResult parseOptions(int argc, char** argv, CommandLine* cl);

// Date words into target: 1..31 (or any non-zero value up to 31) the day,
// 32 and above the year, otherwise a three-letter month name (any case);
// anything else is ignored. Later words override earlier ones. When
// warnings is given, each word ignored or likely misread adds a warning
// with its fix.
void applyDateWords(int count, char** words, pendra::Date* target,
                    std::vector<std::string>* warnings = nullptr);
// Prints each warning as "pendcal: warning: TEXT" on out and counts it.
void printWarnings(const std::vector<std::string>& warnings, std::FILE* out);

// Opens the first of the default places (searchPlaces) that holds a file
// and names it in *fileName. Null when none opens: *fileName is then null
// when no place holds anything, else it names the first place that holds
// something that cannot be read (a directory, or no permission).
std::FILE* findReminderFile(const char** fileName);

// The usage text, then exit status 1.
[[noreturn]] void printUsage();
// "pendcal 0.1 (build date)".
void printVersion();

// Converts like atoi, but clamps instead of overflowing.
int toInt(const char* text);

}  // namespace engine

#endif  // PENDRA_ENGINE_COMMAND_LINE_H_
