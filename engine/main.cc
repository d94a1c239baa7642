// pendcal: prints the reminders of a reminder file for a window of days.
#include <cstdio>
#include <cstdlib>

#include "common/date.h"
#include "engine/command_line.h"
#include "engine/diagnostics.h"
#include "engine/driver.h"
#include "engine/output.h"
#include "engine/platform.h"

int main(int argc, char** argv) {
  engine::engineStartUp();

  pendra::Date today = pendra::today();
  pendra::Date target = today;
  engine::CommandLine cl;
  switch (engine::parseOptions(argc, argv, &cl)) {
    case engine::OptionResult::kVersion:
      engine::printVersion();
      return engine::finishOutput(0);
    case engine::OptionResult::kUsage:
      engine::printUsage();
    case engine::OptionResult::kRun:
      break;
  }
  if (cl.keepGoing) engine::startKeepingGoing();

  const char* fileName = cl.fileName;
  std::FILE* file = nullptr;
  if (fileName != nullptr) {
    file = engine::openForReading(fileName);
  } else {
    file = engine::findReminderFile(&fileName);
    if (fileName == nullptr) engine::printUsage();  // nothing found anywhere
  }
  if (file == nullptr) {
    std::printf("fatal error: unable to open %s\n", fileName);
    return engine::finishOutput(1);
  }
  engine::createReader(fileName, file);

  engine::applyDateWords(argc - cl.firstDateWord, argv + cl.firstDateWord, &target, &cl.warnings);
  target.weekday = pendra::weekdayOf(target.day, target.month, target.year);
  if (cl.keepGoing) engine::printWarnings(cl.warnings, stderr);
  int status = engine::runReminders(today, target, cl.before, cl.after, cl.writer);
  // With -k, anything reported makes the run's status 1.
  if (cl.keepGoing && engine::problemsReported() > 0) status = 1;
  return engine::finishOutput(status);
}
