#include "gui/first_run.h"

namespace gui {

std::string starterFileText(const std::string& lineEnd) {
  static const char* const kLines[] = {
      "; Your reminder file. pendra lists what falls on each day.",
      ";",
      "; Each entry is one sentence ended by a period: the days it concerns,",
      "; then \"remind\" and the text in square brackets. Anything after a \";\"",
      "; is a comment. Change these examples or delete them, and add your own;",
      "; pendra shows the changes as soon as the file is saved.",
      "",
      "; A birthday, every year on 14 March.",
      "14 mar remind [Ada's birthday].",
      "",
      "; A bill on the 1st of every month, shown from three days before.",
      "1 previous 3 days remind [Pay the rent].",
      "",
      "; The last working day (Monday to Friday) of every month. The word is",
      "; defined by a small Scheme procedure that tests each day.",
      "(test-specifier",
      "  (lambda (d)",
      "    (let ((next (date+ d (if (eq? (day-name d) 'friday) 3 1))))",
      "      (and (memq (day-name d) '(monday tuesday wednesday thursday friday))",
      "           (not (= (month next) (month d))))))",
      "  \"last-working-day\")",
      "last-working-day remind [Last working day of the month: send the invoices].",
      "",
      "; More examples:",
      ";   dec 25 remind [Christmas].          a fixed day every year",
      ";   second tue remind [Book club].      the second Tuesday of every month",
      ";   friday remind [Market day].         every Friday",
      ";   8 dec 2026 remind [Dentist].        one day only",
  };
  std::string text;
  for (const char* line : kLines) text += line + lineEnd;
  return text;
}

}  // namespace gui
