#include "gui/qt/problems_view.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <algorithm>
#include <utility>

namespace gui {

ProblemsView::ProblemsView(QWidget* parent) : QListWidget(parent) {
  setObjectName(QStringLiteral("problems"));
  setAccessibleName(QStringLiteral("Problems"));
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { openRow(row(item)); });
  setProblems({});
}

void ProblemsView::setProblems(std::vector<Problem> problems) {
  problems_ = std::move(problems);
  clear();
  // As tall as its lines, up to five; the list beside it keeps the room.
  int rows = std::clamp(static_cast<int>(problems_.size()), 1, 5);
  setFixedHeight(rows * (fontMetrics().height() + 4) + 2 * frameWidth() + 4);
  if (problems_.empty()) {
    auto* item = new QListWidgetItem(QStringLiteral("\u2713 No problems"), this);
    item->setFlags(Qt::ItemIsEnabled);
    return;
  }
  for (const Problem& problem : problems_) {
    auto* item = new QListWidgetItem(lineText(problem), this);
    QString tip = QString::fromStdString(problem.file);
    if (!problem.detail.empty())
      tip += QStringLiteral("\n") + QString::fromStdString(problem.detail);
    item->setToolTip(tip.trimmed());
  }
}

QString ProblemsView::lineText(const Problem& problem) {
  QString text = QString::fromStdString(problem.text);
  if (problem.file.empty()) return text;
  QString place = QFileInfo(QString::fromStdString(problem.file)).fileName();
  if (problem.line > 0) place += QStringLiteral("(%1)").arg(problem.line);
  return place + QStringLiteral(": ") + text;
}

void ProblemsView::keyPressEvent(QKeyEvent* event) {
  // itemActivated comes from Enter only on some styles; make it certain.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
    openRow(currentRow());
    event->accept();
    return;
  }
  QListWidget::keyPressEvent(event);
}

void ProblemsView::openRow(int row) {
  if (row < 0 || static_cast<size_t>(row) >= problems_.size() || !open_) return;
  const Problem& problem = problems_[static_cast<size_t>(row)];
  if (!problem.file.empty()) open_(problem.file, problem.line);
}

}  // namespace gui
