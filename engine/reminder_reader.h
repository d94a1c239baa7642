// Reading a reminder file: inputs stacked by include, the lexer that turns
// their characters into tokens, the grouping of tokens into entries (each
// ended by a period), and the Scheme expressions that stand between entries,
// which are read, evaluated and printed as soon as they are met.
#ifndef PENDRA_ENGINE_REMINDER_READER_H_
#define PENDRA_ENGINE_REMINDER_READER_H_

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/bounds.h"
#include "engine/keyword_table.h"
#include "scheme/host.h"

namespace scheme {
class Interpreter;
}

namespace engine {

enum class TokenKind : int32_t { Word, String, Number, SchemeStart, EntryEnd };

// One token with the place it began. Intentionally copyable.
struct Token {
  TokenKind kind = TokenKind::EntryEnd;
  const char* file = nullptr;  // the input's name; valid while the entry is parsed
  int32_t line = 0;            // line of the first character, from 1
  int32_t endLine = 0;         // line of the last character
  Keyword* keyword = nullptr;  // Word
  const char* text = nullptr;  // String: NUL-terminated, owned by the reader
  int32_t number = 0;          // Number

  bool isWord(GrammarWord word) const {
    return kind == TokenKind::Word && keyword == grammarKeyword(word);
  }
  // A Word whose keyword has the flag.
  bool hasFlag(uint32_t flag) const { return kind == TokenKind::Word && keyword->has(flag); }
};

// The Word, String and Number tokens of one entry, without its period.
struct TokenList {
  std::vector<Token> tokens;
  int32_t endLine = 0;  // the line of the period that ended the entry

  int32_t count() const { return static_cast<int32_t>(tokens.size()); }
  const Token& operator[](int32_t i) const { return tokens[static_cast<size_t>(i)]; }
};

// One input: a name, the absolute directory it lives in, and its bytes.
class InputSource {
 public:
  virtual ~InputSource() = default;
  // The name as it was opened.
  virtual const char* name() = 0;
  // Absolute, ending with a separator.
  virtual const char* directory() = 0;
  // The next byte; at the end sets eof and returns 0.
  virtual char readChar(bool& eof) = 0;
  // Names the file read, so that include can tell it is already being read;
  // empty when unknown.
  virtual const char* identity() { return ""; }
};

// A reminder file on disk; closes its stream when destroyed.
class InputFile : public InputSource {
 public:
  // Takes the open stream; keeps a copy of name and computes the directory.
  InputFile(const char* name, std::FILE* file);
  ~InputFile() override;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  const char* name() override { return name_.c_str(); }
  const char* directory() override { return directory_.c_str(); }
  char readChar(bool& eof) override;
  const char* identity() override { return identity_.c_str(); }

 private:
  std::string name_;
  std::string directory_;
  std::string identity_;
  std::FILE* file_;
  char buffer_[4096];
  size_t used_ = 0;    // bytes of buffer_ read
  size_t filled_ = 0;  // bytes in buffer_
};

// An input being read: line counting and one character of push-back.
class InputReader {
 public:
  InputReader(std::unique_ptr<InputSource> source, std::unique_ptr<InputReader> outer);

  // CR, LF and CR LF each end one line; a pushed-back character is not
  // counted again.
  char readChar(bool& eof);
  void unreadChar(char c);

  const char* name() { return source_->name(); }
  const char* directory() { return source_->directory(); }
  const char* identity() { return source_->identity(); }
  int32_t line() const { return line_; }
  // Whether anything has been read from it. A file pushed by the expression
  // being evaluated has not been; it is read once that expression is done.
  bool started() const { return started_; }
  // The input that included this one; null for the main file.
  InputReader* outer() const { return outer_.get(); }
  std::unique_ptr<InputReader> releaseOuter() { return std::move(outer_); }

 private:
  std::unique_ptr<InputSource> source_;
  char current_ = 0;   // last character read or pushed back
  char previous_ = 0;  // the one read before it
  bool pushedBack_ = false;
  bool started_ = false;
  int32_t line_ = 1;
  std::unique_ptr<InputReader> outer_;
};

// The Scheme reader's view of an input, sharing its line count.
class ReminderCharSource : public scheme::CharSource {
 public:
  explicit ReminderCharSource(InputReader& input) : input_(input) {}
  char16_t next(bool& end) override;
  void pushBack(char16_t c) override;
  const char16_t* name() override;
  int32_t line() override { return input_.line(); }

 private:
  InputReader& input_;
  std::u16string name_;  // widened on the first call
  bool haveName_ = false;
};

using pendra::kMaxEntryTokens;
using pendra::kMaxTokenText;

// The stack of inputs, with the main file at the bottom.
class ReminderReader {
 public:
  ReminderReader(scheme::Interpreter& in, std::unique_ptr<InputSource> main);
  ReminderReader(const ReminderReader&) = delete;
  ReminderReader& operator=(const ReminderReader&) = delete;

  // Makes source the top input; reading goes on in it right away and comes
  // back to the current input at its end.
  void pushInput(std::unique_ptr<InputSource> source);
  // The top input; null once every input has been read.
  InputReader* currentInput() const { return top_.get(); }
  scheme::Interpreter& interpreter() const { return in_; }

  // The next token of the top input; false at its end. Raises "unexpected
  // end of file" (fatal) when the input ends inside a token, and "word too
  // long" / "string too long" (not fatal) for 512 characters or more, after
  // skipping the rest of that entry.
  bool nextToken(Token* token);
  // The tokens of the next entry into out; false at the end of all input.
  // Evaluates the Scheme expressions met between entries. An entry holding
  // a Scheme expression raises "unexpected scheme expression" (not fatal)
  // once the expression and the rest of the entry have been skipped; when
  // the entry lacked only its period (it ends with an action's text), the
  // expression is kept and read as if the period had been there. An entry
  // of more than kMaxEntryTokens tokens raises "entry too long" (not fatal)
  // at its first line.
  bool readEntryTokens(TokenList* out);
  // Reads one datum from the top input, evaluates it and writes its value
  // (unless unspecified) and a line end on the interpreter's port.
  void readSchemeExpression();
  // Where the top-level expression read last began: the place a Scheme
  // error between entries is reported at (-k).
  const std::string& expressionFile() const { return expressionFile_; }
  int32_t expressionLine() const { return expressionLine_; }

  // Whether anything but blanks and comments is left to read. When there is,
  // file and line tell where it starts. Reading stops after this.
  bool hasMoreInput(const char** file, int32_t* line);
  // Closes every input still open.
  void closeInputs() {
    while (top_) popInput();
  }

 private:
  void popInput();
  const char* keepText(const std::string& text);
  // Character-level skips used to drop a faulty entry; none raises.
  void skipComment();
  void skipBracketString();
  void skipSchemeExpression();  // the "(" has been read
  // True when it stopped at a period, false at the end of the input.
  bool skipRestOfEntry();
  // With -k: warns when a text holds a "[" not written "\[", or runs past a line that reads
  // like an entry, for a "]" is likely missing.
  void checkText(const Token& t, const std::string& text, bool bareBracket);
  // With -k: " (skipped to the "." on line N: ...)" when skipping a faulty
  // entry went past the line of the error; "" otherwise.
  std::string skippedHint(int32_t errorLine, bool atPeriod);

  scheme::Interpreter& in_;
  std::unique_ptr<InputReader> top_;
  std::string expressionFile_;
  int32_t expressionLine_ = 0;
  std::vector<std::unique_ptr<char[]>> texts_;  // string tokens, kept for the reader's life
};

}  // namespace engine

#endif  // PENDRA_ENGINE_REMINDER_READER_H_
