// pendcal -l: the record encoding, and the listing held against the report
// it must agree with.
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/date.h"
#include "engine/listing_writer.h"
#include "engine/pendcal_harness.h"
#include "gtest/gtest.h"

namespace {

using pendcal_test::Options;
using pendcal_test::RunPendcal;

TEST(Listing, DatesAndTexts) {
  const struct {
    pendra::Date date;
    const char* iso;
  } kDates[] = {
      {pendra::Date(7, 7, 2005), "2005-07-07"},
      {pendra::Date(1, 1, 1800), "1800-01-01"},
      {pendra::Date(1, 1, 10000), "10000-01-01"},
      {pendra::Date(31, 12, 65535), "65535-12-31"},
  };
  for (const auto& c : kDates) {
    std::string out = "x";
    engine::appendIsoDate(&out, c.date);
    EXPECT_EQ(std::string("x") + c.iso, out);
  }
  const struct {
    std::string text, escaped;
  } kTexts[] = {
      {"plain; with, \"quotes\" %", "plain; with, \"quotes\" %"},
      {"back\\slash", "back\\\\slash"},
      {"a\tb", "a\\tb"},
      {"two\nlines\r\nand\rmore", "two\\nlines\\n\\nand\\nmore"},
      {"\\\\t", "\\\\\\\\t"},
      {"caf\xc3\xa9", "caf\xc3\xa9"},
  };
  for (const auto& c : kTexts) {
    std::string out;
    engine::appendListingText(&out, c.text);
    EXPECT_EQ(c.escaped, out) << c.text;
  }
}

// One occurrence: the day, and the text as the report prints it.
using Occurrence = std::pair<std::string, std::string>;

// "YYYY-MM-DD" from a report header "thu  7 jul 2005: ".
std::string HeaderDay(const std::string& line) {
  int day = std::stoi(line.substr(4, 2));
  int month = 0;
  for (int m = 1; m <= 12; ++m) {
    if (line.compare(7, 3, pendra::kMonthNames[m]) == 0) month = m;
  }
  int year = std::stoi(line.substr(11));
  std::string iso;
  engine::appendIsoDate(&iso, pendra::Date(static_cast<uint8_t>(day), static_cast<uint8_t>(month),
                                           static_cast<uint32_t>(year)));
  return iso;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

// Reverses the listing's escapes.
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char c = text[++i];
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c;
  }
  return out;
}

// A reminder file of count entries of every kind, texts with the
// characters the listing escapes, and a field; from seed.
std::string RandomFile(uint32_t seed, int count) {
  static const char* const kForms[] = {"%m %d",
                                       "%d %m %y",
                                       "%w",
                                       "%o %w",
                                       "%o %w %m",
                                       "sat sun after %d",
                                       "%w on or before %m %d",
                                       "%m %d %y every %n days",
                                       "%m %d previous %n days",
                                       "%w previous 1 week",
                                       "%m %d and %m %d",
                                       "%m %d every month for 6 months",
                                       ""};
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  static const char* const kWeekdays[] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
  static const char* const kOrdinals[] = {"first", "second", "third", "last"};
  static const char* const kTexts[] = {"Plain %i", "Tab\\\there %i", "Back\\\\slash %i",
                                       "Field %(n) %i", "Brackets \\] %i"};
  auto next = [&seed](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  std::string file = "(remind-field (lambda (s o m) (day m)) \"n\")\n";
  for (int i = 0; i < count; ++i) {
    std::string entry = kForms[next(sizeof kForms / sizeof kForms[0])];
    std::string out;
    for (size_t k = 0; k < entry.size(); ++k) {
      if (entry[k] != '%') {
        out += entry[k];
        continue;
      }
      char c = entry[++k];
      if (c == 'm') out += kMonths[next(12)];
      if (c == 'd') out += std::to_string(1 + next(28));
      if (c == 'y') out += std::to_string(2004 + next(3));
      if (c == 'w') out += kWeekdays[next(7)];
      if (c == 'o') out += kOrdinals[next(4)];
      if (c == 'n') out += std::to_string(2 + next(9));
    }
    int actions = 1 + static_cast<int>(next(2));
    for (int a = 0; a < actions; ++a) {
      std::string text = kTexts[next(sizeof kTexts / sizeof kTexts[0])];
      text.replace(text.find("%i"), 2, std::to_string(i));
      out += " remind [" + text + "]";
    }
    file += out + ".\n" + (next(4) == 0 ? "\n" : "");
  }
  return file;
}

TEST(Listing, AgreesWithTheReportOnRandomFiles) {
  const std::vector<std::string> window = {"-b", "20", "-a", "120", "10", "mar", "2005"};
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    std::string text = RandomFile(seed, 40);
    std::map<std::string, std::string> files = {{"test.pnd", text}};
    std::vector<std::string> args = {"-f", "test.pnd"};
    args.insert(args.end(), window.begin(), window.end());
    auto report = RunPendcal(args, files);
    args.insert(args.begin(), "-l");
    Options options;
    options.separateErrors = true;
    auto listing = RunPendcal(args, files, options);
    ASSERT_EQ(0, report.status) << report.out;
    ASSERT_EQ(0, listing.status) << listing.err;
    EXPECT_EQ("", listing.err);

    std::vector<Occurrence> reported;
    for (const std::string& line : Split(report.out, '\n')) {
      size_t colon = line.find(": ");
      ASSERT_NE(std::string::npos, colon) << line;
      reported.emplace_back(HeaderDay(line), line.substr(colon + 2));
    }
    std::vector<std::string> records = Split(listing.out, '\n');
    ASSERT_FALSE(records.empty());
    EXPECT_EQ("file\ttest.pnd", records[0]);
    std::vector<Occurrence> listed;
    std::vector<std::string> lines = Split(text, '\n');
    for (size_t i = 1; i < records.size(); ++i) {
      std::vector<std::string> f = Split(records[i], '\t');
      ASSERT_EQ(5u, f.size()) << records[i];
      EXPECT_LE(f[0], f[1]);
      EXPECT_EQ("test.pnd", f[2]);
      // The line holds the entry, and the entry the text.
      size_t line = std::stoul(f[3]);
      ASSERT_TRUE(line >= 1 && line <= lines.size()) << records[i];
      std::string tail = Unescape(f[4]).substr(Unescape(f[4]).rfind(' ') + 1);
      EXPECT_NE(std::string::npos, lines[line - 1].find(" " + tail + "]")) << records[i];
      listed.emplace_back(f[0], Unescape(f[4]));
    }
    EXPECT_GT(listed.size(), 100u);
    EXPECT_EQ(reported, listed) << "seed " << seed;
  }
}

TEST(Listing, FilesFirstMessagesApartAndDaysPast9999) {
  Options options;
  options.separateErrors = true;
  auto r = RunPendcal(
      {"-b", "1", "-l", "-a", "2", "-f", "main.pnd", "31", "dec", "9999"},
      {{"main.pnd",
        "(display \"hello\")\n(include \"sub/part.pnd\")\nremind [Every\\\\day].\nbogus.\n"},
       {"sub/part.pnd", "\njan 1 previous 2 days remind [New year].\n"}},
      options);
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(
      "file\tmain.pnd\nfile\tsub/part.pnd\n"
      "9999-12-30\t10000-01-01\tsub/part.pnd\t2\tNew year\n"
      "9999-12-30\t9999-12-30\tmain.pnd\t3\tEvery\\\\day\n"
      "9999-12-31\t10000-01-01\tsub/part.pnd\t2\tNew year\n"
      "9999-12-31\t9999-12-31\tmain.pnd\t3\tEvery\\\\day\n"
      "10000-01-01\t10000-01-01\tsub/part.pnd\t2\tNew year\n"
      "10000-01-01\t10000-01-01\tmain.pnd\t3\tEvery\\\\day\n"
      "10000-01-02\t10000-01-02\tmain.pnd\t3\tEvery\\\\day\n",
      r.out);
  EXPECT_EQ("hellomain.pnd(4): error: not an action\n", r.err);

  // Nothing past the last day a date can hold.
  r = RunPendcal({"-l", "-a", "5", "-f", "t.pnd", "30", "dec", "65535"}, {{"t.pnd", "remind [x]."}},
                 options);
  EXPECT_EQ(
      "file\tt.pnd\n65535-12-30\t65535-12-30\tt.pnd\t1\tx\n"
      "65535-12-31\t65535-12-31\tt.pnd\t1\tx\n",
      r.out);
}

}  // namespace
