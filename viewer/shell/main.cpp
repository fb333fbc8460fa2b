// kalmet: the viewer's window. The first argument, when present, names a session file
// opened once the window is shown. "--screenshot DIR" saves the pages as PNG files after
// that file was opened and quits (for looking at the window without a display).
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <filesystem>

#include "main_window.h"
#include "session/file_log.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kalmet"));
  QApplication::setApplicationVersion(QStringLiteral(KALMET_VERSION));

  QStringList args = QApplication::arguments();
  args.removeFirst();
  QString screenshots;
  if (const qsizetype i = args.indexOf(QStringLiteral("--screenshot")); i >= 0) {
    if (i + 1 >= args.size()) return 2;
    screenshots = args[i + 1];
    args.remove(i, 2);
  }

  kalmet::InitLog(std::filesystem::path(QApplication::applicationFilePath().toStdString()));
  int result = 0;
  {
    kalmet::shell::TFM window;
    QObject::connect(&window, &kalmet::shell::TFM::ProgramEnd, &app,
                     [](int code) { QCoreApplication::exit(code); });
    if (!window.Start(QApplication::applicationDirPath())) {
      result = 1;
    } else {
      if (!args.isEmpty()) window.SetCommandLineFile(args.first());
      if (!screenshots.isEmpty()) {
        window.SetMessageBox(
            [](const QString& text, const QString&) { qWarning("%s", qPrintable(text)); });
        if (!args.isEmpty()) window.OpenSession(args.first());
        window.show();
        QTimer::singleShot(200, &window, [&window, screenshots] {
          window.SaveScreenshots(screenshots);
          QCoreApplication::quit();
        });
      } else {
        window.show();
      }
      result = QApplication::exec();
    }
  }
  kalmet::ShutdownLog();
  return result;
}
