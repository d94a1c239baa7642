// The iCalendar encoder: text escaping, line folding and time stamps. The
// whole calendar is read back by a real parser in ical_test.py.
#include "engine/ical.h"

#include <cstdint>
#include <string>

#include "gtest/gtest.h"

namespace {

TEST(Ical, EscapeText) {
  const struct {
    std::string text, escaped;
  } kCases[] = {
      {"plain", "plain"},
      {"a, b; c\\d", "a\\, b\\; c\\\\d"},
      {"one\ntwo\r\nthree\rfour", "one\\ntwo\\nthree\\nfour"},
      {"tab\tbell\a del\x7f", "tab\tbell del"},
      {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
      // Not UTF-8: each byte is Latin-1.
      {"caf\xe9", "caf\xc3\xa9"},
      {"\xc3(", "\xc3\x83("},                        // a lead byte without its continuation
      {"\xe0\x80\x80", "\xc3\xa0\xc2\x80\xc2\x80"},  // overlong
      {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xc2\x80"},  // a surrogate
  };
  for (const auto& c : kCases) EXPECT_EQ(c.escaped, engine::escapeText(c.text)) << c.text;
}

TEST(Ical, ContentLinesFoldAt75OctetsBetweenCharacters) {
  const std::string x70(70, 'x');
  const std::string e = "\xc3\xa9";         // 2 octets
  const std::string euro = "\xe2\x82\xac";  // 3 octets
  const struct {
    std::string value, lines;
  } kCases[] = {
      {"", "S:\r\n"},
      {x70 + "abc", "S:" + x70 + "abc\r\n"},  // 75 octets: no fold
      {x70 + "abcd", "S:" + x70 + "abc\r\n d\r\n"},
      {x70 + "ab" + e, "S:" + x70 + "ab\r\n " + e + "\r\n"},
      {x70 + "a" + euro + "b", "S:" + x70 + "a\r\n " + euro + "b\r\n"},
      // Continuation lines hold a space and 74 octets.
      {x70 + "abc" + std::string(80, 'y'),
       "S:" + x70 + "abc\r\n " + std::string(74, 'y') + "\r\n yyyyyy\r\n"},
  };
  for (const auto& c : kCases) {
    std::string out;
    engine::appendContentLine(&out, "S", c.value);
    EXPECT_EQ(c.lines, out) << c.value;
  }
}

TEST(Ical, SummaryIsTheFirstLineWithMoreThanBlanks) {
  const struct {
    const char* text;
    const char* summary;
  } kCases[] = {
      {"Dentist", "Dentist"},
      {"Dentist\nat nine", "Dentist"},
      {"\nDentist", "Dentist"},
      {" \t\r\n  \r  Dentist \nx", "  Dentist "},
      {"", ""},
      {" \t\n\n ", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.summary, engine::summaryLine(c.text)) << c.text;
}

TEST(Ical, UtcStamp) {
  EXPECT_EQ("19700101T000000Z", engine::utcStamp(0));
  EXPECT_EQ("20050707T123456Z", engine::utcStamp(1120739696));
  EXPECT_EQ("20001231T235959Z", engine::utcStamp(978307199));
  EXPECT_EQ("99991231T235959Z", engine::utcStamp(INT64_MAX));  // held to four-digit years
}

}  // namespace
