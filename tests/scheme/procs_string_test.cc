#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "tests/scheme/scheme_test.h"

namespace {

using scheme_test::Case;
using scheme_test::Check;
using scheme_test::Eval;
using scheme_test::EvalError;
using scheme_test::TopLevelReport;

// symbol->string gives a copy: changing it renames nothing in the table.
TEST(ProcsString, Symbols) {
  const Case cases[] = {
      {"(symbol? 'a)", "#t"},
      {"(symbol? \"a\")", "#f"},
      {"(symbol->string 'abc)", "\"abc\""},
      {"(eq? (string->symbol \"abc\") 'abc)", "#t"},
      {"(eq? (string->symbol \"ABC\") 'abc)", "#f"},
      {"(string->symbol \"Hello World\")", "Hello World"},
      {"(define s (string #\\a #\\b)) (define y (string->symbol s)) (string-set! s 0 #\\z)"
       "(eq? y 'ab)",
       "#t"},
      {"(define s (symbol->string 'abc)) (string-set! s 0 #\\x) (list s (string->symbol \"abc\"))",
       "(\"xbc\" abc)"},
      {"(string-fill! (symbol->string 'car) #\\z) (car '(1))", "1"},
      {"(symbol->string \"a\")", "!Wrong type: \"a\""},
  };
  Check(cases, std::size(cases));
}

// Classification and case mapping know the ASCII letters only.
TEST(ProcsString, Characters) {
  const Case cases[] = {
      {"(char? #\\a)", "#t"},
      {"(char->integer #\\A)", "65"},
      {"(integer->char 97)", "#\\a"},
      {"(char->integer (integer->char 65601))", "65"},
      {"(char->integer (integer->char -1))", "65535"},
      {"(map char-alphabetic? '(#\\a #\\z #\\A #\\Z #\\@ #\\[ #\\` #\\{))",
       "(#t #t #t #t #f #f #f #f)"},
      {"(char-alphabetic? (integer->char 233))", "#f"},
      {"(map char-numeric? '(#\\0 #\\9 #\\/ #\\:))", "(#t #t #f #f)"},
      {"(map char-whitespace? (map integer->char '(9 10 11 12 13 32 160)))",
       "(#t #t #f #t #t #t #f)"},
      {"(map char-upcase '(#\\a #\\z #\\A #\\{ #\\`))", "(#\\A #\\Z #\\A #\\{ #\\`)"},
      {"(map char-downcase '(#\\A #\\Z #\\a #\\@ #\\[))", "(#\\a #\\z #\\a #\\@ #\\[)"},
      {"(char->integer (char-upcase (integer->char 233)))", "233"},
      {"(map char<? '(#\\a #\\b #\\Z #\\_) '(#\\b #\\a #\\a #\\A))", "(#t #f #t #f)"},
      {"(map char=? '(#\\a #\\a) '(#\\a #\\A))", "(#t #f)"},
      {"(map char>? '(#\\b #\\a) '(#\\a #\\a))", "(#t #f)"},
      {"(map char<=? '(#\\a #\\b) '(#\\a #\\a))", "(#t #f)"},
      {"(map char>=? '(#\\a #\\a) '(#\\a #\\b))", "(#t #f)"},
      {"(map char-ci=? '(#\\a #\\[) '(#\\A #\\{))", "(#t #f)"},
      {"(map char-ci<? '(#\\_ #\\a) '(#\\A #\\A))", "(#t #f)"},
      {"(map char-ci>? '(#\\b #\\a) '(#\\A #\\A))", "(#t #f)"},
      {"(map char-ci<=? '(#\\A #\\b) '(#\\a #\\A))", "(#t #f)"},
      {"(map char-ci>=? '(#\\a #\\a) '(#\\A #\\B))", "(#t #f)"},
      {"(char<? #\\a 1)", "!Wrong type: 1"},
      {"(char=? #\\a)", "!Wrong number of arguments: #<builtin: char=?>"},
  };
  Check(cases, std::size(cases));
}

TEST(ProcsString, MakingAndChangingStrings) {
  const Case cases[] = {
      {"(string? \"a\")", "#t"},
      {"(make-string 3)", "\"   \""},
      {"(make-string 2 #\\x #\\y)", "\"xx\""},
      {"(make-string 0)", "\"\""},
      {"(string)", "\"\""},
      {"(string #\\a #\\b)", "\"ab\""},
      {"(string-length \"hello\")", "5"},
      {"(string-ref \"abc\" 2)", "#\\c"},
      {"(define s (make-string 3 #\\a)) (string-set! s 1 #\\b) s", "\"aba\""},
      {"(substring \"hello\" 1 3)", "\"el\""},
      {"(substring \"hello\" 2 2)", "\"\""},
      {"(string-append)", "\"\""},
      {"(string-append \"a\" \"\" \"bc\")", "\"abc\""},
      {"(string->list \"\")", "'()"},
      {"(string->list \"ab\")", "(#\\a #\\b)"},
      {"(list->string '(#\\a #\\b))", "\"ab\""},
      {"(define s \"ab\") (list (string-copy s) (eq? (string-copy s) s))", "(\"ab\" #f)"},
      {"(define lit \"ab\") (let ((s (string-copy lit))) (string-fill! s #\\z) (list s lit))",
       "(\"zz\" \"ab\")"},
      {"(make-string -1)", "!string length must be positive: -1"},
      {"(make-string 2 #\\x 5)", "!Wrong type: 5"},
      {"(make-string 16777217)", "!Out of memory: 16777217"},
      {"(string #\\a 1)", "!Wrong type: 1"},
      {"(string-ref \"abc\" 3)", "!String index out of range: 3"},
      {"(string-ref \"abc\" -1)", "!String index out of range: -1"},
      {"(string-set! (make-string 2) 2 #\\a)", "!String index out of range: 2"},
      {"(substring \"hello\" 3 2)", "!bad string index: 3"},
      {"(substring \"hello\" -1 2)", "!bad string index: -1"},
      {"(substring \"hello\" 0 6)", "!bad string index: 6"},
      {"(list->string '(#\\a 1))", "!Wrong type: 1"},
      {"(list->string '(#\\a . #\\b))", "!Wrong type: #\\b"},
  };
  Check(cases, std::size(cases));
}

// Unit by unit as unsigned codes, then the shorter string is the smaller.
TEST(ProcsString, StringComparisons) {
  const Case cases[] = {
      {"(map string<? '(\"abc\" \"ab\" \"Z\" \"abc\") '(\"abd\" \"abc\" \"a\" \"abc\"))",
       "(#t #t #t #f)"},
      {"(map string>? '(\"b\" \"abc\" \"a\") '(\"abc\" \"ab\" \"a\"))", "(#t #t #f)"},
      {"(map string=? '(\"\" \"ab\" \"ab\") '(\"\" \"abc\" \"ab\"))", "(#t #f #t)"},
      {"(map string<=? '(\"ab\" \"b\") '(\"ab\" \"a\"))", "(#t #f)"},
      {"(map string>=? '(\"ab\" \"a\") '(\"ab\" \"ab\"))", "(#t #f)"},
      {"(map string-ci=? '(\"HeLLo\" \"a\") '(\"hello\" \"ab\"))", "(#t #f)"},
      {"(map string-ci<? '(\"abc\" \"_\" \"B\") '(\"ABD\" \"A\" \"a\"))", "(#t #t #f)"},
      {"(map string-ci>? '(\"B\" \"a\") '(\"a\" \"A\"))", "(#t #f)"},
      {"(map string-ci<=? '(\"AB\" \"b\") '(\"ab\" \"A\"))", "(#t #f)"},
      {"(map string-ci>=? '(\"ab\" \"a\") '(\"AB\" \"AB\"))", "(#t #f)"},
      {"(string<? (string (integer->char 200)) (string (integer->char 60000)))", "#t"},
      {"(string=? \"a\" \"a\" \"a\")", "!Wrong number of arguments: #<builtin: string=?>"},
  };
  Check(cases, std::size(cases));
}

// Joined lengths are bounded like make-string's, before anything is built.
TEST(ProcsString, StringAppendRefusesAnAbsurdLength) {
  EXPECT_EQ(TopLevelReport("Out of memory: 16777218", "(string-append s s)"),
            EvalError("(define s (make-string 8388609 #\\a)) (string-append s s)"));
  EXPECT_EQ("16777216",
            Eval("(define s (make-string 8388608 #\\a)) (string-length (string-append s s))"));
}

}  // namespace
