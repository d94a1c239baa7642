// pendcal -k on small files with one mistake each: the message on standard
// error, the report on standard output, and the exit status.
#include <regex>
#include <string>
#include <vector>

#include "engine/pendcal_harness.h"
#include "gtest/gtest.h"

namespace {

using pendcal_test::Options;
using pendcal_test::Result;
using pendcal_test::RunPendcal;

struct Case {
  const char* name;
  const char* file;  // test.pnd
  std::vector<std::string> args;
  const char* out;  // standard output; null: not checked (depends on today)
  const char* err;  // standard error; procedures' addresses written "#x?"
  int status;
};

const char* const kJul7 = "7 jul 2026";

// "-k -f test.pnd" and the words of date, then more.
std::vector<std::string> Args(std::vector<std::string> more, const char* date = kJul7,
                              bool keepGoing = true) {
  std::vector<std::string> all = {"-f", "test.pnd"};
  if (keepGoing) all.insert(all.begin(), "-k");
  all.insert(all.end(), more.begin(), more.end());
  std::string words = date;
  for (size_t at = 0; at < words.size();) {
    size_t space = words.find(' ', at);
    if (space == std::string::npos) space = words.size();
    if (space > at) all.push_back(words.substr(at, space - at));
    at = space + 1;
  }
  return all;
}

TEST(KeepGoing, EachMistakeGetsItsMessage) {
  const Case cases[] = {
      {"clean file: nothing on standard error, status 0", "jul 7 remind [A].\n", Args({}), "A\n",
       "", 0},
      {"misspelt keyword", "jul 7 evrey year remind [A].\njul 7 remind [B].\n", Args({}), "B\n",
       "test.pnd(1): error: not an action: \"evrey\" (did you mean \"every\"?)\n", 1},
      {"misspelt action", "jul 7 remnd [A].\n", Args({}), "",
       "test.pnd(1): error: not an action: \"remnd\" (did you mean \"remind\"?)\n", 1},
      {"swapped letters", "fridya remind [A].\n", Args({}), "",
       "test.pnd(1): error: not an action: \"fridya\" (did you mean \"friday\"?)\n", 1},
      {"month name cut short", "sept 2 remind [A].\n", Args({}), "",
       "test.pnd(1): error: not an action: \"sept\" (did you mean \"sep\"?)\n", 1},
      {"grammar error names its word", "jul 7 jul 8 remind [A].\n", Args({}), "",
       "test.pnd(1): error: month specified twice: \"jul\"\n", 1},
      {"error at the period", "jul 7 remind.\n", Args({}), "",
       "test.pnd(1): error: remind must be followed by a string: \".\"\n", 1},
      {"missing period", "jul 7 remind [A]\nfirst tue remind [B].\njul 7 remind [C].\n", Args({}),
       "C\n",
       "test.pnd(2): error: not an action: \"first\" (is a \".\" missing at the end of line 1?)\n",
       1},
      {"text holding a [", "jul 7 remind [A.\njul 7 remind [B].\n", Args({}),
       "A.\njul 7 remind [B\n",
       "test.pnd(1): warning: the text begun here holds \"[\" and runs to line 2: is a \"]\" "
       "missing?\n",
       1},
      {"escaped brackets are no warning", "jul 7 remind [Dentist \\[Dr. Ng\\]].\n", Args({}),
       "Dentist [Dr. Ng]\n", "", 0},
      {"text running past an entry", "jul 7 remind [A.\njul 8 remind B.\nmore].\n", Args({}),
       "A.\njul 8 remind B.\nmore\n",
       "test.pnd(1): warning: the text begun here goes on past line 2, which reads like an entry, "
       "and runs to line 3: is a \"]\" missing?\n",
       1},
      {"recovery skipped an expression and an entry",
       "jul 7\n(define x 5)\njul 7 remind [B].\njul 7 remind [C].\n", Args({}), "C\n",
       "test.pnd(1): error: unexpected scheme expression (skipped to the \".\" on line 3: a \".\" "
       "may be missing on line 1)\n",
       1},
      {"recovery skipped to the end of the file", "jul 7 remind [A].\njul 7\n(define x 5)\n",
       Args({}), "A\n",
       "test.pnd(2): error: unexpected scheme expression (skipped to the end of the file: a \".\" "
       "may be missing on line 2)\n",
       1},
      {"field with no procedure, warned once",
       "jul 7 remind [Hi %(name)].\njul 7 remind [Bye %(name)].\n", Args({}), "Hi \nBye \n",
       "test.pnd(1): warning: no procedure for field \"name\"\n", 1},
      {"Scheme error between entries", "(define (f d) (dayname d))\n(f 1)\njul 7 remind [A].\n",
       Args({}), "A\n",
       "test.pnd(2): Undefined symbol: dayname\n\nf #<procedure: #x?>\n    test.pnd(1): "
       "(dayname d)\neval (f 1)\n    test.pnd(2): (f 1)\n",
       1},
      {"Scheme error during the scan: reported once, the entry left out",
       "(remind-field (lambda (s o m) (dayname s)) \"wd\")\nremind [A %(wd)].\nremind [B].\n",
       Args({"-a", "1"}), "tue  7 jul 2026: B\nwed  8 jul 2026: B\n",
       "test.pnd(2): Undefined symbol: dayname\n\n#<procedure: #x?>\n    test.pnd(1): "
       "(dayname s)\n",
       1},
      {"failing field with -l: none of the entry's records",
       "(remind-field (lambda (s o m) (dayname s)) \"wd\")\njul 7 remind [A] remind [%(wd)].\n"
       "jul 7 remind [B].\n",
       Args({"-l"}), "file\ttest.pnd\n2026-07-07\t2026-07-07\ttest.pnd\t3\tB\n",
       "test.pnd(2): Undefined symbol: dayname\n\n#<procedure: #x?>\n    test.pnd(1): "
       "(dayname s)\n",
       1},
      {"failing test procedure",
       "(test-specifier (lambda (d) (car d)) \"odd\")\nodd remind "
       "[A].\njul 7 remind [B].\n",
       Args({}), "B\n",
       "test.pnd(2): Wrong type: #<date: 7 jul 2026>\n\n#<procedure: #x?>\n    test.pnd(1): "
       "(car d)\n",
       1},
      {"a day resumed after a failing entry asks the entries before it once",
       "(test-specifier (lambda (d) (display \"t\") #t) \"tick\")\n"
       "(test-specifier (lambda (d) (car d)) \"bad\")\ntick remind [A].\nbad remind [B].\n",
       Args({"-a", "1"}), "ttue  7 jul 2026: A\ntwed  8 jul 2026: A\n",
       "test.pnd(4): Wrong type: #<date: 7 jul 2026>\n\n#<procedure: #x?>\n    test.pnd(2): "
       "(car d)\n",
       1},
      {"include of a missing file", "(include \"nosuch.pnd\")\njul 7 remind [A].\n", Args({}),
       "A\n",
       "test.pnd(1): Not a valid filename: \"nosuch.pnd\"\n\neval (include \"nosuch.pnd\")\n    "
       "test.pnd(1): (include \"nosuch.pnd\")\n",
       1},
      {"Scheme output ends its line before a problem", "(display \"x\")\n(car 1)\n", Args({}), "",
       "x\ntest.pnd(2): Wrong type: 1\n\neval (car 1)\n    test.pnd(2): (car 1)\n", 1},
      {"backtrace cut to five frames",
       "(define (down n) (if (= n 0) (car n) (+ 1 (down (- n 1)))))\n(down 9)\n", Args({}), "",
       "test.pnd(2): Wrong type: 0\n\ndown #<procedure: #x?>\n    test.pnd(1): (car n)\n"
       "    test.pnd(1): (down (- n 1))\n    test.pnd(1): (down (- n 1))\n"
       "    test.pnd(1): (down (- n 1))\n    test.pnd(1): (down (- n 1))\n",
       1},
      {"full month name on the command line", "jul 4 remind [A].\n", Args({"-b", "1"}, "4 july"),
       nullptr, "pendcal: warning: date word \"july\" ignored (did you mean \"jul\"?)\n", 1},
      {"ISO date on the command line", "dec 24 remind [A].\n", Args({"-a", "2"}, "2026-12-24"),
       nullptr, "pendcal: warning: \"2026-12-24\" read as the year 2026; write 24 dec 2026\n", 1},
      {"letters after an option letter", "dec 24 remind [A].\n", Args({"-a7"}, "24 dec 2026"),
       nullptr,
       "pendcal: warning: \"-a7\" is read as \"-a\", and the next word as its value; write \"-a "
       "7\"\n",
       1},
      {"option after the date words", "jul 2 remind [A].\n", Args({}, "7 jul 2026 -a 2"), "A\n",
       "pendcal: warning: \"-a\" after the date words is ignored, and \"2\" is read as a date "
       "word; put options before the date words\n",
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Options options;
    options.separateErrors = true;
    Result r = RunPendcal(c.args, {{"test.pnd", c.file}}, options);
    if (c.out != nullptr) {
      EXPECT_EQ(c.out, r.out);
    }
    EXPECT_EQ(c.err, std::regex_replace(r.err, std::regex("#x[0-9A-F]+"), "#x?"));
    EXPECT_EQ(c.status, r.status);
  }
}

TEST(KeepGoing, WithoutItMessagesAndStatusAreAsBefore) {
  const Case cases[] = {
      {"misspelt keyword", "jul 7 evrey year remind [A].\njul 7 remind [B].\n",
       Args({}, kJul7, false), "test.pnd(1): error: not an action\nB\n", "", 0},
      {"Scheme error ends the run", "(car 1)\njul 7 remind [A].\n", Args({}, kJul7, false),
       "Wrong type: 1\n\neval (car 1)\n    test.pnd(1): (car 1)\n", "", 1},
      {"command line ignores july quietly", "jul 4 remind [A].\n", Args({}, "4 july 2026", false),
       nullptr, "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Result r = RunPendcal(c.args, {{"test.pnd", c.file}});
    if (c.out != nullptr) {
      EXPECT_EQ(c.out, r.out);
    }
    if (c.status >= 0) {
      EXPECT_EQ(c.status, r.status);
    }
    if (c.out == nullptr) {
      EXPECT_EQ(std::string::npos, r.out.find("warning"));
    }
  }
}

}  // namespace
