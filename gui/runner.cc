#include "gui/runner.h"

#include <cassert>

namespace gui {

std::string enginePathIn(const std::string& directory) { return directory + engineFileName(); }

std::vector<std::string> engineArguments(const pendra::Date& date, int before, int after) {
  assert(date.month >= 1 && date.month <= 12);
  return {"-b",
          std::to_string(before),
          "-a",
          std::to_string(after),
          std::to_string(date.day),
          pendra::kMonthNames[date.month],
          std::to_string(date.year)};
}

std::string windowsCommandLine(const std::string& program,
                               const std::vector<std::string>& arguments) {
  std::string line = "\"" + program + "\"";
  for (const std::string& argument : arguments) line += " " + argument;
  return line;
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos)
      end = text.size();
    else if (end > start && text[end - 1] == '\r')
      --end;
    lines.emplace_back(text.substr(start, end - start));
    start = next;
  }
  return lines;
}

std::vector<std::string> listLines(const EngineRun& run, const std::string& path) {
  if (!run.ok) return {kEngineError, path};
  std::vector<std::string> lines = splitLines(run.output);
  if (run.cut) lines.emplace_back(kOutputCut);
  return lines;
}

std::vector<std::string> updateLines(const std::string& path, const pendra::Date& date) {
  return listLines(runEngine(path, engineArguments(date, kDaysBefore, kDaysAfter)), path);
}

}  // namespace gui
