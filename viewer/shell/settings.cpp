#include "settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace kalmet::shell {
namespace {

const QString kSection = QStringLiteral("MainForm");
const QString kRecentSection = QStringLiteral("RecentFiles");

std::optional<int> Int(const QSettings& s, const QString& key) {
  if (!s.contains(key)) return std::nullopt;
  bool ok = false;
  const int v = s.value(key).toInt(&ok);
  return ok ? std::optional<int>(v) : std::nullopt;
}

}  // namespace

QString SettingsFile(const QString& programFolder) {
  const QString beside = QDir(programFolder).filePath(QStringLiteral("Kalmet.ini"));
  const QFileInfo file(beside);
  if (file.exists() ? file.isWritable() : QFileInfo(programFolder).isWritable()) return beside;
  const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  QDir().mkpath(config);
  return QDir(config).filePath(QStringLiteral("Kalmet.ini"));
}

TSettings LoadSettings(const QString& file) {
  TSettings out;
  QSettings s(file, QSettings::IniFormat);
  s.beginGroup(kSection);
  out.Left = Int(s, QStringLiteral("Left"));
  out.Top = Int(s, QStringLiteral("Top"));
  out.Width = Int(s, QStringLiteral("Width"));
  out.Height = Int(s, QStringLiteral("Height"));
  if (s.contains(QStringLiteral("WorkDir"))) {
    out.WorkDir = s.value(QStringLiteral("WorkDir"), QStringLiteral(".")).toString();
  }
  out.Debug = Int(s, QStringLiteral("Debug")).value_or(0);
  s.endGroup();
  s.beginGroup(kRecentSection);
  for (const QString& key : s.childKeys()) {
    const QString f = s.value(key).toString();
    if (!f.isEmpty() && out.RecentFiles.size() < kMaxRecentFiles) out.RecentFiles << f;
  }
  s.endGroup();
  return out;
}

void SaveSettings(const QString& file, const QRect& geometry, const QString& workDir,
                  const QStringList& recentFiles) {
  QSettings s(file, QSettings::IniFormat);
  s.beginGroup(kSection);
  s.setValue(QStringLiteral("Left"), geometry.left());
  s.setValue(QStringLiteral("Top"), geometry.top());
  s.setValue(QStringLiteral("Width"), geometry.width());
  s.setValue(QStringLiteral("Height"), geometry.height());
  s.setValue(QStringLiteral("WorkDir"), workDir);
  s.endGroup();
  s.remove(kRecentSection);
  s.beginGroup(kRecentSection);
  for (int i = 0; i < recentFiles.size() && i < kMaxRecentFiles; ++i) {
    s.setValue(QStringLiteral("File%1").arg(i + 1), recentFiles[i]);
  }
  s.endGroup();
  s.sync();
}

QStringList AddRecentFile(QStringList list, const QString& file) {
  list.removeAll(file);
  list.prepend(file);
  while (list.size() > kMaxRecentFiles) list.removeLast();
  return list;
}

}  // namespace kalmet::shell
