#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "tests/scheme/scheme_test.h"

namespace {

using scheme_test::Eval;
using scheme_test::EvalError;

struct Case {
  const char* source;
  const char* expected;
};

void ExpectValues(const Case* cases, size_t count) {
  for (size_t i = 0; i < count; ++i)
    EXPECT_EQ(cases[i].expected, Eval(cases[i].source)) << cases[i].source;
}

// The report of an error raised by a builtin called from the top-level
// expression expr (as written back), on line 1 of the test source.
std::string Report(const std::string& head, const std::string& expr) {
  return head + "\n\neval " + expr + "\n    test(1): " + expr + "\n";
}

TEST(ProcsString, Symbols) {
  const Case cases[] = {
      {"(symbol? 'a)", "#t"},
      {"(symbol? \"a\")", "#f"},
      {"(symbol->string 'abc)", "\"abc\""},
      {"(eq? (string->symbol \"abc\") 'abc)", "#t"},
      {"(eq? (string->symbol \"ABC\") 'abc)", "#f"},
      {"(string->symbol \"Hello World\")", "Hello World"},
      {"(eq? (string->symbol \"x y\") (string->symbol \"x y\"))", "#t"},
      // The symbol keeps its own name: later changes to either string leave
      // it alone.
      {"(define s (string #\\a #\\b)) (define y (string->symbol s)) (string-set! s 0 #\\z)"
       "(eq? y 'ab)",
       "#t"},
      {"(define s (symbol->string 'abc)) (string-set! s 0 #\\x) (list s 'abc (eq? 'abc "
       "(string->symbol \"abc\")))",
       "(\"xbc\" abc #t)"},
      {"(string-fill! (symbol->string 'car) #\\z) (car '(1))", "1"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsString, Characters) {
  const Case cases[] = {
      {"(char? #\\a)", "#t"},
      {"(char? \"a\")", "#f"},
      {"(char->integer #\\A)", "65"},
      {"(integer->char 97)", "#\\a"},
      {"(char->integer (integer->char 65601))", "65"},
      {"(char->integer (integer->char 20000))", "20000"},
      {"(char->integer (integer->char -1))", "65535"},
      {"(char-alphabetic? #\\a)", "#t"},
      {"(char-alphabetic? #\\Z)", "#t"},
      {"(char-alphabetic? #\\[)", "#f"},
      {"(char-alphabetic? #\\@)", "#f"},
      {"(char-alphabetic? (integer->char 233))", "#f"},
      {"(char-numeric? #\\0)", "#t"},
      {"(char-numeric? #\\9)", "#t"},
      {"(char-numeric? #\\a)", "#f"},
      {"(char-numeric? #\\/)", "#f"},
      {"(char-whitespace? (integer->char 9))", "#t"},
      {"(char-whitespace? (integer->char 10))", "#t"},
      {"(char-whitespace? (integer->char 11))", "#f"},
      {"(char-whitespace? (integer->char 12))", "#t"},
      {"(char-whitespace? (integer->char 13))", "#t"},
      {"(char-whitespace? (integer->char 32))", "#t"},
      {"(char-whitespace? (integer->char 160))", "#f"},
      {"(char-upcase #\\a)", "#\\A"},
      {"(char-upcase #\\z)", "#\\Z"},
      {"(char-upcase #\\A)", "#\\A"},
      {"(char-upcase #\\{)", "#\\{"},
      {"(char->integer (char-upcase (integer->char 233)))", "233"},
      {"(char-downcase #\\A)", "#\\a"},
      {"(char-downcase #\\Z)", "#\\z"},
      {"(char-downcase #\\@)", "#\\@"},
      {"(char-downcase #\\[)", "#\\["},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsString, CharacterComparisons) {
  const Case cases[] = {
      {"(char=? #\\a #\\a)", "#t"},     {"(char=? #\\a #\\A)", "#f"},
      {"(char<? #\\a #\\b)", "#t"},     {"(char<? #\\b #\\a)", "#f"},
      {"(char>? #\\b #\\a)", "#t"},     {"(char>? #\\a #\\a)", "#f"},
      {"(char<=? #\\a #\\a)", "#t"},    {"(char<=? #\\b #\\a)", "#f"},
      {"(char>=? #\\a #\\a)", "#t"},    {"(char>=? #\\a #\\b)", "#f"},
      {"(char<? #\\Z #\\a)", "#t"},     {"(char-ci=? #\\a #\\A)", "#t"},
      {"(char-ci<? #\\_ #\\A)", "#t"},  {"(char<? #\\_ #\\A)", "#f"},
      {"(char-ci>? #\\b #\\A)", "#t"},  {"(char-ci<=? #\\A #\\a)", "#t"},
      {"(char-ci>=? #\\a #\\B)", "#f"}, {"(char-ci=? #\\[ #\\{)", "#f"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsString, MakingAndChangingStrings) {
  const Case cases[] = {
      {"(string? \"a\")", "#t"},
      {"(string? #\\a)", "#f"},
      {"(make-string 3)", "\"   \""},
      {"(make-string 2 #\\x #\\y)", "\"xx\""},
      {"(make-string 0)", "\"\""},
      {"(string)", "\"\""},
      {"(string #\\a #\\b)", "\"ab\""},
      {"(string-length \"\")", "0"},
      {"(string-length \"hello\")", "5"},
      {"(string-ref \"abc\" 2)", "#\\c"},
      {"(string-ref \"abc\" 0)", "#\\a"},
      {"(define s (make-string 3 #\\a)) (string-set! s 1 #\\b) s", "\"aba\""},
      {"(string-set! (make-string 1) 0 #\\b)", "#<unspecified>"},
      {"(substring \"hello\" 1 3)", "\"el\""},
      {"(substring \"hello\" 2 2)", "\"\""},
      {"(substring \"hello\" 0 5)", "\"hello\""},
      {"(string-append)", "\"\""},
      {"(string-append \"a\" \"\" \"bc\")", "\"abc\""},
      {"(define s \"ab\") (eq? (string-append s) s)", "#f"},
      {"(string->list \"\")", "'()"},
      {"(string->list \"ab\")", "(#\\a #\\b)"},
      {"(list->string '(#\\a #\\b))", "\"ab\""},
      {"(list->string '())", "\"\""},
      {"(define s \"ab\") (list (string-copy s) (eq? (string-copy s) s))", "(\"ab\" #f)"},
      {"(define lit \"ab\") (let ((s (string-copy lit))) (string-fill! s #\\z) (list s lit))",
       "(\"zz\" \"ab\")"},
      {"(string-fill! (make-string 2) #\\z)", "#<unspecified>"},
  };
  ExpectValues(cases, std::size(cases));
}

// Unit by unit as unsigned codes, then the shorter string is the smaller.
TEST(ProcsString, StringComparisons) {
  const Case cases[] = {
      {"(string<? \"abc\" \"abd\")", "#t"},
      {"(string<? \"ab\" \"abc\")", "#t"},
      {"(string>? \"b\" \"abc\")", "#t"},
      {"(string=? \"\" \"\")", "#t"},
      {"(string<? \"Z\" \"a\")", "#t"},
      {"(string=? \"ab\" \"abc\")", "#f"},
      {"(string>? \"abc\" \"ab\")", "#t"},
      {"(string<=? \"ab\" \"ab\")", "#t"},
      {"(string<=? \"b\" \"a\")", "#f"},
      {"(string>=? \"a\" \"ab\")", "#f"},
      {"(string>=? \"ab\" \"ab\")", "#t"},
      {"(string<? \"abc\" \"abc\")", "#f"},
      {"(string-ci=? \"HeLLo\" \"hello\")", "#t"},
      {"(string-ci<? \"abc\" \"ABD\")", "#t"},
      {"(string<? \"abc\" \"ABD\")", "#f"},
      {"(string-ci>? \"B\" \"a\")", "#t"},
      {"(string-ci<=? \"AB\" \"ab\")", "#t"},
      {"(string-ci>=? \"a\" \"AB\")", "#f"},
      {"(string-ci<? \"_\" \"A\")", "#t"},
      {"(string<? (string (integer->char 200)) (string (integer->char 60000)))", "#t"},
  };
  ExpectValues(cases, std::size(cases));
}

TEST(ProcsString, Errors) {
  struct ErrorCase {
    const char* source;
    const char* head;
    const char* written;  // the source as written back
  };
  const ErrorCase cases[] = {
      {"(make-string -1)", "string length must be positive: -1", "(make-string -1)"},
      {"(make-string 2 #\\x 5)", "Wrong type: 5", "(make-string 2 #\\x 5)"},
      {"(make-string 16777217)", "Out of memory: 16777217", "(make-string 16777217)"},
      {"(make-string 536870911 #\\a)", "Out of memory: 536870911", "(make-string 536870911 #\\a)"},
      {"(string #\\a 1)", "Wrong type: 1", "(string #\\a 1)"},
      {"(string-ref \"abc\" 3)", "String index out of range: 3", "(string-ref \"abc\" 3)"},
      {"(string-ref \"abc\" -1)", "String index out of range: -1", "(string-ref \"abc\" -1)"},
      {"(string-ref \"\" 0)", "String index out of range: 0", "(string-ref \"\" 0)"},
      {"(string-set! (make-string 2) 2 #\\a)", "String index out of range: 2",
       "(string-set! (make-string 2) 2 #\\a)"},
      {"(string-set! (make-string 2) -1 #\\a)", "String index out of range: -1",
       "(string-set! (make-string 2) -1 #\\a)"},
      {"(substring \"hello\" 3 2)", "bad string index: 3", "(substring \"hello\" 3 2)"},
      {"(substring \"hello\" -1 2)", "bad string index: -1", "(substring \"hello\" -1 2)"},
      {"(substring \"hello\" 0 6)", "bad string index: 6", "(substring \"hello\" 0 6)"},
      {"(substring \"hello\" 7 6)", "bad string index: 7", "(substring \"hello\" 7 6)"},
      {"(list->string '(#\\a 1))", "Wrong type: 1", "(list->string (quote (#\\a 1)))"},
      {"(list->string '(#\\a . #\\b))", "Wrong type: #\\b", "(list->string (quote (#\\a . #\\b)))"},
      {"(list->string 5)", "Wrong type: 5", "(list->string 5)"},
      {"(symbol->string \"a\")", "Wrong type: \"a\"", "(symbol->string \"a\")"},
      {"(string->symbol 'a)", "Wrong type: a", "(string->symbol (quote a))"},
      {"(char<? #\\a 1)", "Wrong type: 1", "(char<? #\\a 1)"},
      {"(char=? #\\a)", "Wrong number of arguments: #<builtin: char=?>", "(char=? #\\a)"},
      {"(string=? \"a\" \"a\" \"a\")", "Wrong number of arguments: #<builtin: string=?>",
       "(string=? \"a\" \"a\" \"a\")"},
      {"(char-upcase \"a\")", "Wrong type: \"a\"", "(char-upcase \"a\")"},
      {"(integer->char #\\a)", "Wrong type: #\\a", "(integer->char #\\a)"},
      {"(string-fill! \"ab\" 1)", "Wrong type: 1", "(string-fill! \"ab\" 1)"},
  };
  for (const ErrorCase& c : cases) EXPECT_EQ(Report(c.head, c.written), EvalError(c.source));
}

// Joined lengths are bounded like make-string's, before anything is built.
TEST(ProcsString, StringAppendRefusesAnAbsurdLength) {
  EXPECT_EQ(Report("Out of memory: 16777218", "(string-append s s)"),
            EvalError("(define s (make-string 8388609 #\\a)) (string-append s s)"));
  EXPECT_EQ("16777216",
            Eval("(define s (make-string 8388608 #\\a)) (string-length (string-append s s))"));
}

}  // namespace
