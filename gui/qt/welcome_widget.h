// What the window shows when pendcal finds no reminder file: the places
// it looks in, as real paths for this user, a button that writes a
// commented starter file in the most natural of them, and one that picks
// any file instead.
#ifndef PENDRA_GUI_QT_WELCOME_WIDGET_H_
#define PENDRA_GUI_QT_WELCOME_WIDGET_H_

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace gui {

class WelcomeWidget : public QWidget {
 public:
  // Called with the file to list from now on (UTF-8 path).
  using UseFile = std::function<void(const std::string&)>;
  // Asks the user for a reminder file; "" when cancelled.
  using FileChooser = std::function<QString()>;

  explicit WelcomeWidget(UseFile created, UseFile opened, QWidget* parent = nullptr);

  // Reads the places again (the environment may have changed) and clears
  // any message.
  void refresh();

  // "Create my reminder file": writes the starter file unless a file is
  // already there, and then passes it on. On failure shows why.
  void createFile();
  // "Open a reminder file…": asks for a file and passes it on.
  void openFile();

  void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
  QString message() const;

 private:
  UseFile created_;
  UseFile opened_;
  FileChooser chooseFile_;
  QLabel* places_;
  QLabel* target_;
  QLabel* message_;
  QPushButton* create_;
  QPushButton* open_;
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_WELCOME_WIDGET_H_
