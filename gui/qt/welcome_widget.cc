#include "gui/qt/welcome_widget.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "gui/first_run.h"
#include "gui/safe_write.h"

namespace gui {

namespace {

// Sets a label's text and tells screen readers, which know the label by
// its accessible name, what it now says.
void showText(QLabel* label, const QString& text) {
  label->setText(text);
  label->setAccessibleDescription(text);
}

}  // namespace

WelcomeWidget::WelcomeWidget(UseFile created, UseFile opened, QWidget* parent)
    : QWidget(parent), created_(std::move(created)), opened_(std::move(opened)) {
  setObjectName(QStringLiteral("welcome"));
  auto* title = new QLabel(QStringLiteral("<b>Welcome to Pendra</b>"), this);
  auto* intro = new QLabel(QStringLiteral("You have no reminder file yet. pendcal looks for one "
                                          "in these places, in this order:"),
                           this);
  intro->setWordWrap(true);
  places_ = new QLabel(this);
  places_->setObjectName(QStringLiteral("places"));
  places_->setAccessibleName(QStringLiteral("Places"));
  places_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  target_ = new QLabel(this);
  target_->setObjectName(QStringLiteral("starterPlace"));
  target_->setWordWrap(true);
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("welcomeMessage"));
  message_->setAccessibleName(QStringLiteral("Message"));
  message_->setWordWrap(true);
  message_->setStyleSheet(QStringLiteral("color: #b00020"));
  create_ = new QPushButton(QStringLiteral("&Create my reminder file"), this);
  create_->setObjectName(QStringLiteral("create"));
  open_ = new QPushButton(QStringLiteral("&Open a reminder file\u2026"), this);
  open_->setObjectName(QStringLiteral("open"));
  connect(create_, &QPushButton::clicked, this, [this] { createFile(); });
  connect(open_, &QPushButton::clicked, this, [this] { openFile(); });
  chooseFile_ = [this] {
    return QFileDialog::getOpenFileName(this, QStringLiteral("Open a reminder file"),
                                        QDir::homePath(),
                                        QStringLiteral("Reminder files (*.pnd);;All files (*)"));
  };

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(create_);
  buttons->addWidget(open_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title);
  layout->addWidget(intro);
  layout->addWidget(places_);
  layout->addWidget(target_);
  layout->addLayout(buttons);
  layout->addWidget(message_);
  layout->addStretch();
  refresh();
}

void WelcomeWidget::refresh() {
  QStringList lines;
  for (const std::string& place : reminderSearchPlaces())
    lines << QStringLiteral("    ") + QString::fromStdString(place);
  showText(places_, lines.join(QLatin1Char('\n')));
  std::string starter = starterFilePath();
  create_->setEnabled(!starter.empty());
  target_->setText(starter.empty() ? QStringLiteral("Your home folder is not known, so a new "
                                                    "file has no place to go.")
                                   : QStringLiteral("Create my reminder file writes a short "
                                                    "file with examples to %1.")
                                         .arg(QString::fromStdString(starter)));
  showText(message_, {});
}

void WelcomeWidget::createFile() {
  std::string path = starterFilePath();
  if (path.empty()) return;
  std::string reason;
  std::string directory = parentDirectory(path);
  WriteResult result;
  if (!directory.empty() && !makeDirectories(directory, &reason)) {
    result.reason = reason;
  } else {
    result = gui::createFile(path, starterFileText(), Existing::Refuse);
  }
  // A file made in the meantime is the user's: list it rather than fail.
  if (!result.ok && result.reason != kFileExists) {
    showText(message_,
             QStringLiteral("Could not create %1: %2")
                 .arg(QString::fromStdString(path), QString::fromStdString(result.reason)));
    return;
  }
  showText(message_, {});
  created_(path);
}

void WelcomeWidget::openFile() {
  QString file = chooseFile_();
  if (file.isEmpty()) return;
  showText(message_, {});
  opened_(QDir::cleanPath(QFileInfo(file).absoluteFilePath()).toStdString());
}

QString WelcomeWidget::message() const { return message_->text(); }

}  // namespace gui
