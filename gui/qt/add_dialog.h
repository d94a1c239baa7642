// The Add form: a date, a repeat, the text and an optional "remind me N
// days before". It shows the entry it will write and the next three days
// the entry falls on (pendcal run on that entry alone), and appends the
// entry to the reminder file safely: a file changed since the form read
// it, a read-only file or an included file is refused with a message.
#ifndef PENDRA_GUI_QT_ADD_DIALOG_H_
#define PENDRA_GUI_QT_ADD_DIALOG_H_

#include <QDialog>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <string>
#include <vector>

#include "common/date.h"
#include "gui/entry_builder.h"
#include "gui/safe_write.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace gui {

class AddDialog : public QDialog {
 public:
  // file: where the entry goes; listedFiles: the listing's file records
  // (the reminder file, then its includes), to tell an include.
  AddDialog(std::string enginePath, std::string file, std::vector<std::string> listedFiles,
            const pendra::Date& date, QWidget* parent = nullptr);
  ~AddDialog() override;

  // Why entries cannot go to file at all, or "": read-only, or an include.
  static QString refusal(const std::string& file, const std::vector<std::string>& listedFiles);

  EntryForm form() const;
  // The entry as it will be written, or why it cannot be.
  QString entryPreview() const;
  QString nextDaysText() const;
  QString message() const;

  // True while pendcal works out the next days.
  bool previewBusy() const { return preview_.state() != QProcess::NotRunning || wait_.isActive(); }

  // Appends the entry; on success closes the form with Accepted, else
  // shows why and returns false.
  bool write();

 private:
  void formChanged();
  void startPreview();
  void previewEnded();
  void showMessage(const QString& text);

  std::string enginePath_;
  std::string file_;
  std::string bytes_;  // the file as read when the form opened
  FileStamp stamp_;
  bool readable_ = false;

  QDateEdit* date_;
  QComboBox* repeat_;
  QLineEdit* text_;
  QSpinBox* before_;
  QLabel* entry_;
  QLabel* next_;
  QLabel* message_;
  QPushButton* add_;

  QTemporaryDir scratch_;  // holds the entry alone for the preview run
  QProcess preview_;
  QTimer wait_;  // runs the preview once typing pauses
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_ADD_DIALOG_H_
