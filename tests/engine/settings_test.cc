// Settings from the environment, read strictly.
#include "engine/settings.h"

#include <cstdint>
#include <string>

#include "gtest/gtest.h"

namespace {

TEST(Settings, HeapLimitIsReadStrictly) {
  constexpr size_t kMiB = size_t{1} << 20;
  constexpr size_t kDefault = size_t{1} << 30;
  constexpr uint64_t kMachine = uint64_t{4096} << 20;  // a 4 GiB machine
  const struct {
    const char* text;
    size_t bytes;
    bool warns;
  } kCases[] = {
      {nullptr, kDefault, false},
      {"", kDefault, false},  // set empty: as if unset
      {"8", 8 * kMiB, false},
      {" \t16 ", 16 * kMiB, false},
      {"0004096", 4096 * kMiB, false},
      {"4097", 4096 * kMiB, false},  // held to the machine's memory
      {"99999999999999999999999999", 4096 * kMiB, false},
      {" -1", kDefault, true},
      {"-1", kDefault, true},
      {"+8", kDefault, true},
      {"0", kDefault, true},
      {"8x", kDefault, true},
      {"8 8", kDefault, true},
      {"1.5", kDefault, true},
      {"  ", kDefault, true},
  };
  for (const auto& c : kCases) {
    std::string warning;
    const char* shown = c.text != nullptr ? c.text : "(unset)";
    EXPECT_EQ(c.bytes, engine::parseHeapLimit(c.text, kMachine, &warning)) << shown;
    if (c.warns) {
      EXPECT_EQ("pendcal: warning: PENDCAL_HEAP_MB=\"" + std::string(c.text) +
                    "\" is not a whole number of MiB; the heap limit stays 1024 MiB",
                warning);
    } else {
      EXPECT_EQ("", warning) << shown;
    }
  }
  // A machine whose memory is not known caps at what size_t holds.
  std::string warning;
  EXPECT_EQ(size_t{100000} * kMiB, engine::parseHeapLimit("100000", 0, &warning));
  EXPECT_EQ("", warning);
}

}  // namespace
