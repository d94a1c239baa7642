#include "gui/qt/add_dialog.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QVBoxLayout>
#include <utility>

#include "gui/listing.h"
#include "gui/view_range.h"

namespace gui {

namespace {

// Sets a label's text and tells screen readers, which know the label by
// its accessible name, what it now says.
void showText(QLabel* label, const QString& text) {
  label->setText(text);
  label->setAccessibleDescription(text);
}

bool samePath(const std::string& a, const std::string& b) {
  QFileInfo first(QString::fromStdString(a)), second(QString::fromStdString(b));
  QString canonicalA = first.canonicalFilePath(), canonicalB = second.canonicalFilePath();
  if (!canonicalA.isEmpty() && !canonicalB.isEmpty()) return canonicalA == canonicalB;
  return first.absoluteFilePath() == second.absoluteFilePath();
}

}  // namespace

AddDialog::AddDialog(std::string enginePath, std::string file, std::vector<std::string> listedFiles,
                     const pendra::Date& date, QWidget* parent)
    : QDialog(parent), enginePath_(std::move(enginePath)), file_(std::move(file)) {
  setWindowTitle(QStringLiteral("Add a reminder"));
  setObjectName(QStringLiteral("addDialog"));

  date_ = new QDateEdit(QDate(static_cast<int>(date.year), date.month, date.day), this);
  date_->setObjectName(QStringLiteral("addDate"));
  date_->setCalendarPopup(true);
  date_->setDisplayFormat(QStringLiteral("ddd d MMM yyyy"));
  date_->setDateRange(QDate(1800, 1, 1), QDate(3000, 12, 31));
  repeat_ = new QComboBox(this);
  repeat_->setObjectName(QStringLiteral("repeat"));
  text_ = new QLineEdit(this);
  text_->setObjectName(QStringLiteral("text"));
  text_->setMaxLength(static_cast<int>(kMaxTextLength));
  before_ = new QSpinBox(this);
  before_->setObjectName(QStringLiteral("daysBefore"));
  before_->setRange(0, kMaxDaysBefore);
  before_->setSpecialValueText(QStringLiteral("no"));
  before_->setSuffix(QStringLiteral(" days before"));
  entry_ = new QLabel(this);
  entry_->setObjectName(QStringLiteral("entry"));
  entry_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  entry_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  next_ = new QLabel(this);
  next_->setObjectName(QStringLiteral("nextDays"));
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("message"));
  message_->setWordWrap(true);
  message_->setStyleSheet(QStringLiteral("color: #b00020"));

  auto* form = new QFormLayout;
  auto addRow = [&](const char* label, QWidget* field) {
    auto* name = new QLabel(QString::fromUtf8(label), this);
    name->setBuddy(field);
    field->setAccessibleName(name->text().remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    form->addRow(name, field);
  };
  addRow("&Date:", date_);
  addRow("Re&peat:", repeat_);
  addRow("&Text:", text_);
  addRow("Remind &me:", before_);
  addRow("Entry:", entry_);
  addRow("Next:", next_);
  entry_->setAccessibleName(QStringLiteral("Entry"));
  next_->setAccessibleName(QStringLiteral("Next"));
  message_->setAccessibleName(QStringLiteral("Message"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
  add_ = buttons->addButton(QStringLiteral("&Add"), QDialogButtonBox::AcceptRole);
  add_->setObjectName(QStringLiteral("addButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { write(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("Adds an entry to %1").arg(QString::fromStdString(fileNameOf(file_))), this));
  layout->addLayout(form);
  layout->addWidget(message_);
  layout->addWidget(buttons);
  // The entry and the days stay on one line each; the form grows to fit
  // them, and starts wide enough for a usual entry.
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  text_->setMinimumWidth(entry_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 44);

  wait_.setSingleShot(true);
  wait_.setInterval(300);
  connect(&wait_, &QTimer::timeout, this, [this] { startPreview(); });
  connect(&preview_, &QProcess::finished, this, [this] { previewEnded(); });
  connect(&preview_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) previewEnded();
  });
  connect(date_, &QDateEdit::dateChanged, this, [this] { formChanged(); });
  connect(repeat_, &QComboBox::currentIndexChanged, this, [this] { formChanged(); });
  connect(text_, &QLineEdit::textChanged, this, [this] { formChanged(); });
  connect(before_, &QSpinBox::valueChanged, this, [this] { formChanged(); });

  // The file as it is now: the write later checks it is still so.
  QString refused = refusal(file_, listedFiles);
  std::string reason;
  if (refused.isEmpty() && !readFile(file_, &bytes_, &stamp_, &reason))
    refused = QStringLiteral("Cannot read %1: %2")
                  .arg(QString::fromStdString(file_), QString::fromStdString(reason));
  readable_ = refused.isEmpty();
  showMessage(refused);
  formChanged();
  text_->setFocus();
}

AddDialog::~AddDialog() {
  if (preview_.state() != QProcess::NotRunning) {
    preview_.kill();
    preview_.waitForFinished(5000);
  }
}

QString AddDialog::refusal(const std::string& file, const std::vector<std::string>& listedFiles) {
  QString name = QString::fromStdString(fileNameOf(file));
  for (size_t i = 1; i < listedFiles.size(); ++i)
    if (samePath(listedFiles[i], file) && !samePath(listedFiles[0], file))
      return QStringLiteral("%1 is included by %2; add entries to that file instead.")
          .arg(name, QString::fromStdString(fileNameOf(listedFiles[0])));
  QFileInfo info(QString::fromStdString(file));
  // The owner's write bit too: the superuser may write anything, but a file
  // its owner made read-only is meant to stay as it is.
  if (info.exists() && (!info.isWritable() || !(info.permissions() & QFile::WriteOwner)))
    return QStringLiteral("%1 is read-only; entries cannot be added to it.").arg(name);
  return {};
}

EntryForm AddDialog::form() const {
  EntryForm form;
  QDate date = date_->date();
  form.date = pendra::Date(static_cast<uint8_t>(date.day()), static_cast<uint8_t>(date.month()),
                           static_cast<uint32_t>(date.year()));
  int index = repeat_->currentIndex();
  form.repeat = kRepeats[index < 0 ? 0 : index];
  form.text = text_->text().toStdString();
  form.daysBefore = before_->value();
  return form;
}

QString AddDialog::entryPreview() const { return entry_->text(); }
QString AddDialog::nextDaysText() const { return next_->text(); }
QString AddDialog::message() const { return message_->text(); }

void AddDialog::formChanged() {
  EntryForm now = form();
  // The weekday choice names the weekday of the picked date.
  int index = repeat_->currentIndex();
  repeat_->blockSignals(true);
  repeat_->clear();
  for (Repeat repeat : kRepeats)
    repeat_->addItem(QString::fromStdString(repeatName(repeat, now.date)));
  repeat_->setCurrentIndex(index < 0 ? 0 : index);
  repeat_->blockSignals(false);

  std::string problem = formProblem(now);
  if (!problem.empty()) {
    showText(entry_, QString::fromStdString(problem));
    showText(next_, {});
    add_->setEnabled(false);
    wait_.stop();
    return;
  }
  showText(entry_, QString::fromStdString(entryText(now)));
  add_->setEnabled(readable_);
  showText(next_, QStringLiteral("…"));
  wait_.start();
}

void AddDialog::startPreview() {
  if (preview_.state() != QProcess::NotRunning) {
    preview_.kill();
    preview_.waitForFinished(5000);
  }
  EntryForm now = form();
  if (!formProblem(now).empty() || !scratch_.isValid()) return;
  std::string path = QDir(scratch_.path()).filePath(QStringLiteral("entry.pnd")).toStdString();
  WriteResult written = createFile(path, entryText(now) + "\n");
  if (!written.ok) {
    showText(next_, QString::fromStdString(written.reason));
    return;
  }
  QStringList arguments;
  for (const std::string& argument : previewArguments(path, now.date))
    arguments << QString::fromStdString(argument);
  preview_.start(QString::fromStdString(enginePath_), arguments);
}

void AddDialog::previewEnded() {
  if (preview_.exitStatus() != QProcess::NormalExit ||
      preview_.error() == QProcess::FailedToStart) {
    showText(next_, QStringLiteral("pendcal could not be run"));
    return;
  }
  QByteArray output = preview_.readAllStandardOutput();
  std::vector<pendra::Date> days = nextDays(parseListing(output.toStdString()));
  QStringList texts;
  for (const pendra::Date& day : days) texts << QString::fromStdString(windowDate(day));
  showText(next_, texts.isEmpty() ? QStringLiteral("Not in the next three years")
                                  : texts.join(QStringLiteral(", ")));
}

bool AddDialog::write() {
  EntryForm now = form();
  std::string problem = formProblem(now);
  if (!readable_ || !problem.empty()) {
    if (!problem.empty()) showMessage(QString::fromStdString(problem));
    return false;
  }
  WriteResult result = replaceFile(file_, stamp_, appendEntry(bytes_, entryText(now)));
  if (!result.ok) {
    showMessage(
        QStringLiteral("Nothing was written to %1: %2")
            .arg(QString::fromStdString(fileNameOf(file_)), QString::fromStdString(result.reason)));
    return false;
  }
  accept();
  return true;
}

void AddDialog::showMessage(const QString& text) {
  showText(message_, text);
  message_->setVisible(!text.isEmpty());
}

}  // namespace gui
