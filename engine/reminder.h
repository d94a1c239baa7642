// Reminder entries: one specifier that decides the days, an optional
// look-ahead ("previous"), and the actions run on those days.
//
//   entry = specifier {"and" specifier} ["previous" [number] [day-unit]]
//           {"remind" string}
#ifndef PENDRA_ENGINE_REMINDER_H_
#define PENDRA_ENGINE_REMINDER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/bounds.h"
#include "common/date.h"
#include "engine/keyword_table.h"
#include "engine/reminder_reader.h"
#include "engine/specifier.h"

namespace scheme {
class Interpreter;
class OutputPort;
}  // namespace scheme

namespace engine {

using pendra::kMaxActions;
using pendra::kMaxFieldName;

// Something done on each day an entry selects.
class Action {
 public:
  // perform prints on port.
  explicit Action(scheme::OutputPort& port) : port_(port) {}
  virtual ~Action() = default;
  // The action's text for a day, the one way every writer gets it.
  // scanned: the day being reported; occurrence: the specifier's event date
  // for it; matched: the day the test succeeded on (later with a look-ahead).
  virtual void write(scheme::OutputPort& out, pendra::Date scanned, pendra::Date occurrence,
                     pendra::Date matched) = 0;
  // write on the port given at construction (the interpreter's).
  void perform(pendra::Date scanned, pendra::Date occurrence, pendra::Date matched) {
    write(port_, scanned, occurrence, matched);
  }

 private:
  scheme::OutputPort& port_;
};

// Prints a text and a line end on the interpreter's port. "%(name)" fields
// are filled by the procedure bound to name with remind-field, shown with
// display; a field whose word has no procedure shows nothing.
class RemindAction : public Action {
 public:
  RemindAction(scheme::Interpreter& in, const char* text);
  void write(scheme::OutputPort& out, pendra::Date scanned, pendra::Date occurrence,
             pendra::Date matched) override;
  const std::string& text() const { return text_; }
  // Where the text stands, for the warning about a field with no
  // procedure (-k).
  void setPlace(const char* file, int32_t line);

 private:
  // The text cut into literal runs and fields, once, when the entry is read.
  struct Piece {
    std::string literal;
    Keyword* field;  // null for a literal run
  };

  scheme::Interpreter& in_;
  std::string text_;
  std::vector<Piece> pieces_;
  const char* file_ = nullptr;  // kept for the whole run
  int32_t line_ = 0;
};

struct Reminder {
  std::unique_ptr<Specifier> specifier;          // carries the look-ahead
  std::vector<std::unique_ptr<Action>> actions;  // at most kMaxActions, in order
  // A hash of the entry's file name (without directory) and its tokens
  // (words by keyword, so case and spacing do not count): what the
  // calendar's UIDs know the entry by.
  uint64_t sourceKey = 0;
  // Where the entry starts: its file as error lines name it, and the line.
  std::string file;
  int32_t line = 0;

  int32_t actionCount() const { return static_cast<int32_t>(actions.size()); }
};

// The next entry of the reader, parsed; null at the end of all input.
// Raises what the reader and the parser raise.
std::unique_ptr<Reminder> readEntry(ReminderReader& reader);

// One entry's tokens into a Reminder. Raises "too many actions", "not an
// action", "remind must be followed by a string" and the grammar's errors.
std::unique_ptr<Reminder> parseEntry(scheme::Interpreter& in, const TokenList& tokens);

}  // namespace engine

#endif  // PENDRA_ENGINE_REMINDER_H_
