// The index must hand the scan exactly the entries, in file order, that
// asking every entry would give, with the same matched days.
#include "engine/scan_index.h"

#include <memory>
#include <string>
#include <vector>

#include "engine/keyword_table.h"
#include "engine/reminder.h"
#include "gtest/gtest.h"
#include "tests/engine/engine_test.h"

namespace {

using engine_test::Day;
using engine_test::Show;
using pendra::Date;

const char kFile[] =
    "dec 25 remind [a].\n"
    "remind [every day].\n"
    "friday remind [b].\n"
    "fri 13 may 2005.\n"
    "first mon and last fri.\n"
    "last sun jul.\n"
    "dec 25 previous 7 days.\n"
    "jan 3 previous 5 days.\n"
    "jan 1 previous 3 weeks.\n"
    "friday previous 2 days.\n"
    "jul 4 previous 40 days.\n"
    "jan 2 2005 previous 400 days.\n"
    "mar 1 previous 2 days.\n"
    "1 previous 3.\n"
    "31 previous 1 week.\n"
    "last fri previous 10 days.\n"
    "fri before 1 2005.\n"
    "mon on or before jan 1.\n"
    "sat after dec 30.\n"
    "mon before jan 7.\n"
    "sat sun after 1.\n"
    "sun on or before dec 25 previous 1 week.\n"
    "jan 31 every month.\n"
    "jan 15 2005 every year for 3 years.\n"
    "jan 1 2005 every 2 weeks until mar 1 2006.\n"
    "dec 30 2004 every 3 weeks.\n"
    "mar 1 every month for 6 months except jun 1.\n"
    "jan 1 every 10 days.\n"
    "dec 28 2004 every 3 days previous 2 days.\n"
    "jan 1 and jul 4 and dec.\n"
    "dec 25 2030.\n"
    "odd previous 1 day.\n"
    "holidays and feb 29.\n";

std::string Trace(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& l : lines) all += l + "\n";
  return all;
}

TEST(ScanIndex, GivesWhatAskingEveryEntryGives) {
  engine_test::Session s;
  engine::Keyword* odd = engine::internKeyword("odd");
  odd->flags = engine::SpecifierProcFlag;
  s.define("target", scheme::Value::makeHost(pendra::packDate(13, 1, 2005)));
  odd->value = s.eval("(lambda (d) (eq? d target))");
  engine::Keyword* holidays = engine::internKeyword("holidays");
  holidays->flags = engine::SpecifierProcFlag | 1;
  s.define("listed", scheme::cons(s.in(), scheme::Value::makeHost(pendra::packDate(1, 5, 2005)),
                                  s.in().emptyList()));
  holidays->value = s.eval("(lambda (y) listed)");

  std::vector<std::unique_ptr<engine::Reminder>> entries;
  engine::ReminderReader& reader = s.reader(kFile);
  while (auto entry = engine::readEntry(reader)) entries.push_back(std::move(entry));
  ASSERT_EQ(33u, entries.size());
  engine::ScanIndex index(entries);

  std::vector<std::string> direct, indexed;
  for (int32_t n = Day(1, 11, 2003).dayNumber(); n <= Day(31, 3, 2007).dayNumber(); ++n) {
    Date d = Date::fromNumber(n);
    for (size_t i = 0; i < entries.size(); ++i) {
      if (entries[i]->specifier->match(d))
        direct.push_back(Show(d) + " #" + std::to_string(i) + " " +
                         Show(entries[i]->specifier->matched()));
    }
    index.forEachMatch(d, [&](const engine::Reminder& r, const Date& matched) {
      size_t i = 0;
      while (entries[i].get() != &r) ++i;
      indexed.push_back(Show(d) + " #" + std::to_string(i) + " " + Show(matched));
    });
  }
  EXPECT_GT(direct.size(), 1000u);
  EXPECT_EQ(Trace(direct), Trace(indexed));
}

}  // namespace
