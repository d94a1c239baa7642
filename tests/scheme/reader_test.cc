#include "scheme/reader.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "scheme/interpreter.h"
#include "scheme/printer.h"
#include "tests/scheme/scheme_test.h"

namespace {

using scheme::Value;
using scheme_test::CaptureOutput;
using scheme_test::SchemeError;
using scheme_test::Session;
using scheme_test::StringSource;

// Every datum of text (read exactly as given, nothing after it), each
// written and followed by "|".
std::string ReadAll(const std::string& text) {
  Session s;
  StringSource source(text);
  std::string out;
  for (;;) {
    Value v = scheme::read(s.in(), source, nullptr);
    if (v == s.in().eof()) return out;
    out += s.written(v) + "|";
  }
}

// The report of reading text, which must fail.
std::string ReadError(const std::string& text) {
  Session s;
  StringSource source(text);
  try {
    for (;;) {
      if (scheme::read(s.in(), source, nullptr) == s.in().eof()) break;
    }
  } catch (const SchemeError&) {
    return s.out().text();
  }
  ADD_FAILURE() << "no error reading " << text;
  return "";
}

TEST(Reader, Data) {
  struct Case {
    const char* text;
    const char* data;
  } cases[] = {
      {"", ""},
      {"  ; only a comment\n\t ", ""},
      {"; comment at the very end", ""},
      {"- ", "-|"},
      {"+ ", "+|"},
      {"-12 ", "-12|"},
      {"+7 ", "7|"},
      {"1+ ", "1+|"},
      {"12abc ", "12abc|"},
      {"536870912 ", "-536870912|"},
      {"4294967297 ", "1|"},  // wraps in 32 bits, then in 30
      {"-0 ", "0|"},
      {"Car CAR car ", "car|car|car|"},
      {"!$%&*/:<=>?^_~a.b ", "!$%&*/:<=>?^_~a.b|"},
      {"#t #T #f #F", "#t|#t|#f|#f|"},
      {"#true ", "#t|rue|"},
      {"#\\a#\\A#\\ #\\(#\\;#\\\"", "#\\a|#\\A|#\\ |#\\(|#\\;|#\\\"|"},
      {"#\\space ", "#\\s|pace|"},
      {"\"\"", "\"\"|"},
      {"\"a\\\"b\\\\c\\nd\"", "\"a\"b\\cnd\"|"},
      {"\"line\nend\"", "\"line\nend\"|"},
      {"'x ", "(quote x)|"},
      {"'(1 2)", "(quote (1 2))|"},
      {"''a ", "(quote (quote a))|"},
      {"()", "'()|"},
      {"(())", "('())|"},
      {"(1 . 2)", "(1 . 2)|"},
      {"(1 2 . 3)", "(1 2 . 3)|"},
      {"(1 . (2 3))", "(1 2 3)|"},
      {"(. 5)", "5|"},
      {"(1 .5)", "(1 . 5)|"},  // a dot never starts a token
      {"#(1 (2) 3)", "#(1 (2) 3)|"},
      {"#()", "#()|"},
      {"#(#(1) '())", "#(#(1) (quote '()))|"},
      {"[a]", "a|"},
      {"a,b`c@d|e{f}g ", "a|b|c|d|e|f|g|"},
      {"a;comment\nb;\rc\n", "a|b|c|"},
      {"x\xE9y\x80z ", "x|y|z|"},  // codes above 127 belong to no class
      {"(a\n(b\n c)) 1 ", "(a (b c))|1|"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.data, ReadAll(c.text)) << c.text;
}

TEST(Reader, Limits) {
  EXPECT_EQ("\"" + std::string(511, 's') + "\"|", ReadAll("\"" + std::string(511, 's') + "\""));
  EXPECT_EQ("String too long: expression begun at test(1)\n\n",
            ReadError("\"" + std::string(512, 's') + "\""));
  // Escapes count as the character they store.
  std::string escaped;
  for (int i = 0; i < 511; ++i) escaped += "\\\"";
  EXPECT_EQ("\"" + std::string(511, '"') + "\"|", ReadAll("\"" + escaped + "\""));
  EXPECT_EQ("String too long: expression begun at test(1)\n\n",
            ReadError("\"" + escaped + "\\\"\""));
  EXPECT_EQ(std::string(127, 't') + "|", ReadAll(std::string(127, 't') + " "));
  EXPECT_EQ("Symbol too long: expression begun at test(1)\n\n",
            ReadError(std::string(128, 't') + " "));
  EXPECT_EQ("Symbol too long: expression begun at test(1)\n\n",
            ReadError(std::string(128, '1') + " "));
}

TEST(Reader, Errors) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"x", "Unexpected EOF"},  // a token must be followed by another character
      {"12", "Unexpected EOF"},
      {"(1 2", "Unexpected EOF"},
      {"(1 ; comment", "Unexpected EOF"},
      {"\"abc", "Unexpected EOF"},
      {"\"abc\\", "Unexpected EOF"},
      {"#", "Unexpected EOF"},
      {"#\\", "Unexpected EOF"},
      {"'", "Unexpected EOF"},
      {"(1 . ", "Unexpected EOF"},
      {"(1 . 2 3", "Unexpected EOF"},  // the datum after the dot's datum is read whole
      {"#x", "Unexpected character following #"},
      {"#(1 #e)", "Unexpected character following #"},
      {")", "Unexpected ')'"},
      {"(1 .)", "Unexpected ')'"},
      {"')", "Unexpected ')'"},
      {".", "Unexpected '.'"},
      {"(1 . . 2)", "Unexpected '.'"},
      {"'.", "Unexpected '.'"},
      {"(1 . 2 3)", "Bad dotted pair"},
      {"(1 . 2 (3))", "Bad dotted pair"},
      {"(1 . 2 . 3)", "Bad dotted pair"},
      {"(. 1 2)", "Bad dotted pair"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(std::string(c.message) + ": expression begun at test(1)\n\n", ReadError(c.text))
        << c.text;
  // The place is the line of the datum's first character, not of the fault.
  EXPECT_EQ("Unexpected EOF: expression begun at test(3)\n\n", ReadError("\n ; c\n (a\n (b"));
  // The only reader error that names a value.
  EXPECT_EQ("Wrong type: 2\n\n", ReadError("#(1 . 2)"));
  EXPECT_EQ("Wrong type: 5\n\n", ReadError("#(. 5)"));
}

TEST(Reader, SourceTableRecordsListsWithTheLineOfTheirParenthesis) {
  Session s;
  StringSource source("\n(a\n (b)\n '(c\n d) #((e) f))\n(g)");
  scheme::SourceTable table;
  Value outer = scheme::read(s.in(), source, &table);
  EXPECT_EQ("(a (b) (quote (c d)) #((e) f))", s.written(outer));
  // Inner lists first, as they are finished; the quote form and the
  // vector's own list were not started by "(" and are not recorded.
  ASSERT_EQ(4u, table.entries.size());
  std::string lines;
  for (const auto& e : table.entries)
    lines += std::to_string(e.line) + ":" + s.written(e.datum) + " ";
  EXPECT_EQ("3:(b) 4:(c d) 5:(e) 2:(a (b) (quote (c d)) #((e) f)) ", lines);
  EXPECT_EQ(outer, table.entries[3].datum);
  EXPECT_EQ(2, table.lineOf(outer));
  // Reading on with the same table appends to it.
  Value g = scheme::read(s.in(), source, &table);
  EXPECT_EQ(6, table.lineOf(g));
  // What was recorded before an error stays.
  scheme::SourceTable partial;
  StringSource broken("((1) . )");
  EXPECT_THROW(scheme::read(s.in(), broken, &partial), SchemeError);
  EXPECT_EQ(1u, partial.entries.size());
}

TEST(Reader, LongListsAndDeepNesting) {
  // A million elements: the spine is read without native recursion.
  std::string text = "(";
  for (int i = 0; i < 1000000; ++i) text += "7 ";
  text += ")";
  Session s;
  StringSource source(text);
  Value list = scheme::read(s.in(), source, nullptr);
  int count = 0;
  for (Value p = list; scheme::isPair(p); p = scheme::as<scheme::Pair>(p)->cdr()) ++count;
  EXPECT_EQ(1000000, count);

  // Nesting up to the limit reads (and prints back whole); one more level,
  // or a million, is an ordinary error.
  auto nested = [](int depth, const char* open, const char* inner) {
    std::string t;
    for (int i = 0; i < depth; ++i) t += open;
    t += inner;
    for (int i = 0; i < depth; ++i) t += (open[0] == '\'' ? "" : ")");
    return t + " ";
  };
  std::string deepest = nested(10000, "(", "x");
  EXPECT_EQ(deepest.substr(0, deepest.size() - 1) + "|", ReadAll(deepest));
  EXPECT_EQ("Nesting too deep: expression begun at test(1)\n\n",
            ReadError(nested(10001, "(", "x")));
  EXPECT_EQ("Nesting too deep: expression begun at test(1)\n\n",
            ReadError(nested(1000000, "(", "x")));
  EXPECT_EQ("Nesting too deep: expression begun at test(1)\n\n",
            ReadError(nested(1000000, "#(", "x")));
  EXPECT_EQ("Nesting too deep: expression begun at test(1)\n\n",
            ReadError(nested(1000000, "'", "x")));
}

}  // namespace
