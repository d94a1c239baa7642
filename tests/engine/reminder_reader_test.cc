// The lexer, the grouping of tokens into entries, Scheme expressions between
// entries, and the input stack.
#include "engine/reminder_reader.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/engine/engine_test.h"

namespace {

using engine::Token;
using engine::TokenKind;
using engine::TokenList;
using engine_test::Report;
using engine_test::Session;

std::string Describe(const Token& t) {
  std::string text;
  switch (t.kind) {
    case TokenKind::Word:
      text = t.keyword->name;
      break;
    case TokenKind::String:
      text = "[" + std::string(t.text) + "]";
      break;
    case TokenKind::Number:
      text = "#" + std::to_string(t.number);
      break;
    case TokenKind::SchemeStart:
      text = "(";
      break;
    case TokenKind::EntryEnd:
      text = ".";
      break;
  }
  return text + "@" + std::to_string(t.line);
}

// Every token of text, "word@line #number@line [string]@line", then the
// report of an error if one ends the lexing.
std::string Lex(const std::string& text) {
  Session s;
  engine::ReminderReader& r = s.reader(text);
  std::string out;
  try {
    Token t;
    while (r.nextToken(&t)) {
      if (!out.empty()) out += " ";
      out += Describe(t);
    }
  } catch (const engine::PDErrorType& e) {
    out += (out.empty() ? "" : " ") + Report(e);
  }
  return out;
}

// Every entry of text, one per line as "tokens|", with error reports and
// Scheme output in the order they happen; the driver's loop in small.
std::string Entries(Session& s, const std::string& text) {
  engine::ReminderReader& r = s.reader(text);
  std::string out;
  for (;;) {
    TokenList list;
    try {
      s.out().clear();
      bool more = r.readEntryTokens(&list);
      out += s.out().text();
      if (!more) break;
    } catch (const engine::PDErrorType& e) {
      out += s.out().text() + Report(e);
      if (e.fatal) break;
      continue;
    }
    for (const Token& t : list.tokens) out += Describe(t) + " ";
    out += "|\n";
  }
  return out;
}

std::string Entries(const std::string& text) {
  Session s;
  return Entries(s, text);
}

TEST(ReminderReader, LexesTokensWithTheirLines) {
  struct {
    const char* text;
    const char* tokens;
  } cases[] = {
      {"jan 1, 2005 remind [New year].\n", "jan@1 #1@1 #2005@1 remind@1 [New year]@1 .@1"},
      {"Jan JAN january Sunday\n", "jan@1 jan@1 january@1 sunday@1"},
      {"; note\nmonday;x y z\n.\n", "monday@2 .@3"},
      {"[a\\]b] [c\\\\d] [e\\f]", "[a]b]@1 [c\\d]@1 [ef]@1"},
      {"[two\nlines] x\n", "[two\nlines]@1 x@2"},
      {"12abc 1.5 -5 x2- -\n", "#12@1 abc@1 #1@1 .@1 #5@1 -5@1 x2-@1 -@1"},
      {"a\rb\nc\r\nd\n\r\n\n\re\n", "a@1 b@2 c@3 d@4 e@8"},
      {"\r\n\r\n\rjan\n", "jan@4"},
      {", : ) ] { } \xe9\x80 ! jul\n", "jul@1"},
      {"(define x 1)", "(@1 define@1 x@1 #1@1"},
      {"007 99999999999 2147483647\n", "#7@1 #2147483647@1 #2147483647@1"},
      {"", ""},
      {"   ; only a comment", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.tokens, Lex(c.text)) << c.text;
}

TEST(ReminderReader, EndOfInputInsideATokenIsFatal) {
  struct {
    const char* text;
    const char* result;
  } cases[] = {
      {"jan 1.\n\nfri", "jan@1 #1@1 .@1 test.pnd(3): fatal error: unexpected end of file\n"},
      {"\n12", "test.pnd(2): fatal error: unexpected end of file\n"},
      {"x [open\n\n", "x@1 test.pnd(1): fatal error: unexpected end of file\n"},
      {"[escaped\\", "test.pnd(1): fatal error: unexpected end of file\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.result, Lex(c.text)) << c.text;
}

TEST(ReminderReader, WordsAndStringsHoldAtMost511Characters) {
  std::string w511(511, 'w'), s511(511, 's');
  EXPECT_EQ(w511 + "@1 .@1", Lex(w511 + "."));
  EXPECT_EQ("[" + s511 + "]@1", Lex("[" + s511 + "]"));
  // Backslashes do not count: 511 characters stored.
  std::string escaped;
  for (int i = 0; i < 511; ++i) escaped += "\\]";
  EXPECT_EQ("[" + std::string(511, ']') + "]@1", Lex("[" + escaped + "]"));

  // One more is an error of its own; the rest of that entry is skipped and
  // the next entry is read.
  std::string longWord =
      "\n jan " + std::string(512, 'w') + "x-1 remind [a.b]. dec 25 remind [y].\n";
  EXPECT_EQ(
      "test.pnd(2): error: word too long\n"
      "dec@2 #25@2 remind@2 [y]@2 |\n",
      Entries(longWord));
  std::string longString =
      "jan 1 remind [a].\njul 4 remind\n [" + std::string(600, 's') + ". (x] (y \")\"). may 1.\n";
  EXPECT_EQ(
      "jan@1 #1@1 remind@1 [a]@1 |\n"
      "test.pnd(3): error: string too long\n"
      "may@3 #1@3 |\n",
      Entries(longString));
  // At the start of an entry, and twice in a row.
  EXPECT_EQ(
      "test.pnd(1): error: word too long\n"
      "test.pnd(2): error: string too long\n"
      "jul@3 |\n",
      Entries(std::string(700, 'a') + ".\n[" + std::string(512, 'b') + "].\njul.\n"));
}

TEST(ReminderReader, GroupsTokensIntoEntries) {
  EXPECT_EQ(
      "jan@1 #1@1 remind@1 [a]@1 |\n"
      "|\n"
      "dec@3 #25@4 |\n",
      Entries("jan 1 remind [a].\n.\ndec\n25.\n"));
  // An unfinished entry at the end is fatal at its last token.
  EXPECT_EQ("jan@1 |\ntest.pnd(3): fatal error: unexpected end of file\n",
            Entries("jan.\njul 4\n remind [x]\n\n"));
}

TEST(ReminderReader, RefusesEntriesOfMoreThan256Tokens) {
  auto words = [](int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += "w" + std::to_string(i) + (i % 50 ? " " : "\n");
    return text;
  };
  // 256 tokens are an entry; one more drops it, reported at its first line.
  Session s;
  TokenList list;
  ASSERT_TRUE(s.reader(words(256) + ".").readEntryTokens(&list));
  EXPECT_EQ(256, list.count());
  EXPECT_EQ(
      "jan@1 |\n"
      "test.pnd(2): error: entry too long\n"
      "dec@8 |\n",
      Entries("jan.\n" + words(257) + ".\ndec.\n"));
  // A "(" inside it drops the expression too, or keeps it when the entry
  // ends with an action's text.
  EXPECT_EQ("test.pnd(1): error: entry too long\nmay@8 |\n",
            Entries(words(300) + "(display 1) x.\nmay.\n"));
  EXPECT_EQ("test.pnd(1): error: entry too long\n1|\n",
            Entries(words(300) + "remind [x]\n(display 1).\n"));
}

TEST(ReminderReader, EvaluatesSchemeBetweenEntries) {
  EXPECT_EQ(
      "3\n"
      "jan@3 #1@3 |\n"
      "(1 \"two\" #\\3)\n"
      "|\n",
      Entries("(define x 1)\n(+ x 2)\njan 1.\n(list x \"two\" #\\3) .\n"));
  // A datum may span lines; the lexer goes on counting after it.
  EXPECT_EQ("jul@4 |\n", Entries("(define (f a)\n  a)\n\njul.\n"));
}

TEST(ReminderReader, SchemeErrorsNameTheFileAndLine) {
  Session s;
  engine::ReminderReader& r = s.reader("jan.\n\n(car 5)\n", "main.pnd");
  TokenList list;
  ASSERT_TRUE(r.readEntryTokens(&list));
  s.out().clear();
  EXPECT_THROW(r.readEntryTokens(&list), engine_test::SchemeError);
  EXPECT_EQ(
      "Wrong type: 5\n\n"
      "eval (car 5)\n"
      "    main.pnd(3): (car 5)\n",
      s.out().text());
  // An unfinished expression names the file and the line it began on.
  engine::ReminderReader& unfinished = s.reader("jan.\n (car\n 5", "main.pnd");
  ASSERT_TRUE(unfinished.readEntryTokens(&list));
  s.out().clear();
  EXPECT_THROW(unfinished.readEntryTokens(&list), engine_test::SchemeError);
  EXPECT_EQ("Unexpected EOF: expression begun at main.pnd(2)\n\n", s.out().text());
}

TEST(ReminderReader, DropsAnEntryHoldingASchemeExpression) {
  // Reported once at the last token before "("; the expression is not
  // evaluated and nothing of the entry is kept.
  EXPECT_EQ(
      "test.pnd(1): error: unexpected scheme expression\n"
      "dec@2 #25@2 |\n",
      Entries("jan 1 (+ 1 2) .\ndec 25.\n"));
  EXPECT_EQ(
      "test.pnd(2): error: unexpected scheme expression\n"
      "|\n",
      Entries("jul\n8 (remind [c]) remind [d].\n.\n"));
  // Parentheses inside strings, comments and characters do not count;
  // "#(" opens a vector; brackets after the expression are strings.
  EXPECT_EQ(
      "test.pnd(1): error: unexpected scheme expression\n"
      "may@2 |\n",
      Entries("jul 8 (a \")\\\"(\" ; )\n #\\) #\\( #(1 (2)) b) [.(] x (y.). may.\n"));
  // At the end of the input the skip simply stops.
  EXPECT_EQ("test.pnd(1): error: unexpected scheme expression\n", Entries("jan 1 (x"));
}

TEST(ReminderReader, AnEntryLackingOnlyItsPeriodKeepsTheExpressionAfterIt) {
  // The entry ends with an action's text: it is dropped, and the "(" is
  // read as the expression between entries that it would have been.
  EXPECT_EQ(
      "test.pnd(1): error: unexpected scheme expression\n"
      "jan@3 #1@3 remind@3 [third]@3 |\n"
      "1|\n",
      Entries("jan 1 remind [first]\n(define x 1)\njan 1 remind [third].\n(display x)."));
  EXPECT_EQ(
      "test.pnd(2): error: unexpected scheme expression\n"
      "3\n|\n",
      Entries("fri remind [a] remind\n [b] ; comment\n (+ 1 2) ."));
}

TEST(ReminderReader, TextsDropNulAndTheCrOfCrLf) {
  struct {
    std::string text;
    const char* tokens;
  } cases[] = {
      {"[two\r\nlines\r\n] x\n", "[two\nlines\n]@1 x@3"},
      {"[lone\rcr\r\r\n]", "[lone\rcr\r\n]@1"},
      {"[cr at end\r]", "[cr at end\r]@1"},
      {std::string("[a\0b\\\0c]", 8), "[abc]@1"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.tokens, Lex(c.text)) << c.text;
  // 511 characters fit however many CRs come before LFs.
  std::string lines;
  for (int i = 0; i < 511; ++i) lines += "\r\n";
  EXPECT_EQ("[" + std::string(511, '\n') + "]@1", Lex("[" + lines + "]"));
}

TEST(ReminderReader, ReadsPushedInputsFirst) {
  Session s;
  engine::ReminderReader& r = s.reader("jan 1.\njan 2.\n", "main.pnd");
  TokenList list;
  ASSERT_TRUE(r.readEntryTokens(&list));
  EXPECT_EQ(nullptr, r.currentInput()->outer());
  r.pushInput(std::make_unique<engine_test::StringInput>("\nfeb 1. feb\n2.", "sub.pnd"));
  engine::InputReader* top = r.currentInput();
  EXPECT_STREQ("sub.pnd", top->name());
  EXPECT_STREQ("/dir/", top->directory());
  EXPECT_STREQ("main.pnd", top->outer()->name());

  std::vector<std::string> seen;
  while (r.readEntryTokens(&list)) {
    std::string entry;
    for (const Token& t : list.tokens) entry += std::string(t.file) + ":" + Describe(t) + " ";
    seen.push_back(entry);
  }
  EXPECT_EQ((std::vector<std::string>{"sub.pnd:feb@2 sub.pnd:#1@2 ", "sub.pnd:feb@2 sub.pnd:#2@3 ",
                                      "main.pnd:jan@2 main.pnd:#2@2 "}),
            seen);
  EXPECT_EQ(nullptr, r.currentInput());
  EXPECT_FALSE(r.readEntryTokens(&list));
}

TEST(ReminderReader, AnUnfinishedEntryInAPushedInputIsFatalThere) {
  Session s;
  engine::ReminderReader& r = s.reader("jan 1.\njan 2.\n", "main.pnd");
  r.pushInput(std::make_unique<engine_test::StringInput>("feb 1.\nfeb 2 remind\n", "sub.pnd"));
  TokenList list;
  ASSERT_TRUE(r.readEntryTokens(&list));
  EXPECT_EQ("sub.pnd(2): fatal error: unexpected end of file\n",
            engine_test::ReportOf([&] { r.readEntryTokens(&list); }));
}

TEST(ReminderReader, TellsWhetherInputIsLeft) {
  struct {
    const char* rest;
    bool more;
    int line;
  } cases[] = {
      {"", false, 0},
      {"  ; comment\n\n , ) ]\n", false, 0},
      {"\n\n  dec 25.", true, 3},
      {"; c\n(display 1)", true, 2},
      {"\n[x]", true, 2},
  };
  for (const auto& c : cases) {
    Session s;
    engine::ReminderReader& r = s.reader(std::string("jan 1.") + c.rest);
    TokenList list;
    ASSERT_TRUE(r.readEntryTokens(&list));
    const char* file = nullptr;
    int32_t line = 0;
    EXPECT_EQ(c.more, r.hasMoreInput(&file, &line)) << c.rest;
    EXPECT_EQ(c.line, line) << c.rest;
    if (c.more) {
      EXPECT_STREQ("test.pnd", file);
    }
    // Nothing was evaluated.
    EXPECT_EQ("", s.out().text());
  }
}

}  // namespace
