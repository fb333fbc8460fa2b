// "Kalmet.ini": the main window's placement, the open dialog's folder, the diagnostic
// switch and the recent files.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

namespace kalmet::shell {

struct TSettings {
  // Each key is applied only when present in the file.
  std::optional<int> Left, Top, Width, Height;
  std::optional<QString> WorkDir;
  int Debug = 0;  // 1 shows the diagnostic pages
  QStringList RecentFiles;
};

inline constexpr int kMaxRecentFiles = 8;

// "Kalmet.ini" in the program folder when that folder is writable, otherwise in the
// user's configuration folder.
QString SettingsFile(const QString& programFolder);

// Missing or unreadable files give the defaults.
TSettings LoadSettings(const QString& file);
// Writes placement, WorkDir and the recent files; Debug is never written.
void SaveSettings(const QString& file, const QRect& geometry, const QString& workDir,
                  const QStringList& recentFiles);

// The list with file first, without duplicates, at most kMaxRecentFiles long.
QStringList AddRecentFile(QStringList list, const QString& file);

}  // namespace kalmet::shell
