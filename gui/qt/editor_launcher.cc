#include "gui/qt/editor_launcher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include "gui/editor.h"

namespace gui {

QString openInEditor(const std::string& file, int line) {
  EditorCommand command = editorCommand(file, line);
  QStringList arguments;
  for (const std::string& argument : command.arguments)
    arguments << QString::fromStdString(argument);
  QString program = QString::fromStdString(command.program);
  if (QProcess::startDetached(program, arguments)) return {};
  // No xdg-open: let Qt ask the desktop in its own way.
  if (command.program == "xdg-open" &&
      QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file))))
    return {};
  return QStringLiteral("Could not start %1 to edit %2").arg(program, QString::fromStdString(file));
}

}  // namespace gui
