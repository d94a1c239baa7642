// The problems pendcal reported, beside the reminders: a line per problem
// with its file and line, and a clear mark when there are none (the count
// is in the window's status line). Double-click or Enter on a problem
// asks for the editor at its line.
#ifndef PENDRA_GUI_QT_PROBLEMS_VIEW_H_
#define PENDRA_GUI_QT_PROBLEMS_VIEW_H_

#include <QListWidget>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "gui/listing.h"

namespace gui {

class ProblemsView : public QListWidget {
 public:
  // open(file, line): line 0 when the problem names no line.
  using Open = std::function<void(const std::string&, int)>;

  explicit ProblemsView(QWidget* parent = nullptr);

  void setOpen(Open open) { open_ = std::move(open); }
  void setProblems(std::vector<Problem> problems);
  const std::vector<Problem>& problems() const { return problems_; }

  // The list line of a problem: "pendra.pnd(3): error: not an action", the
  // file by its name alone (the full path is in the tool tip).
  static QString lineText(const Problem& problem);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void openRow(int row);

  std::vector<Problem> problems_;
  Open open_;
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_PROBLEMS_VIEW_H_
