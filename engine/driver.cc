#include "engine/driver.h"

namespace engine {

namespace {
std::FILE* gFile = nullptr;
}  // namespace

void engineStartUp() {}

void createReader(const char* fileName, std::FILE* file) {
  (void)fileName;
  gFile = file;
}

int runReminders(pendra::Date today, pendra::Date target, int before, int after) {
  (void)today;
  (void)target;
  (void)before;
  (void)after;
  if (gFile != nullptr) std::fclose(gFile);
  return 0;
}

}  // namespace engine
