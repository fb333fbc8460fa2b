// The program's window: menu and tool bar, the period buttons, the pages (journal,
// graphs, pie, setups, trace, alarm log, diagnostic pages) and the status panel; the
// start-up of the engine and the opening of a session.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <functional>

#include "engine.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QTabWidget;
class QToolButton;
class QTableView;
class QTreeView;

namespace kalmet::shell {

class TFrameJournal;
class TFrameTrace;
class TSetupPages;
class TAlarmPage;
class TDiagnosticModel;

// Page indexes, which the actions switch on.
enum TPage {
  kPageJournal = 0,
  kPageGraph5 = 1,
  kPageGraphArchive = 2,
  kPageGraphHour = 3,
  kPagePie = 4,
  kPageGraphStart = 5,
  kPageSetups = 6,
  kPageTrace = 7,
  kPageAlarms = 8,
  kPageUnpacked = 9,
  kPageWrap = 10,
  kPageCommonChart = 11,
};

class TFM : public QMainWindow {
  Q_OBJECT

 public:
  // Shows a message box (text with CR line breaks, caption); tests record them instead.
  using TMessageBox = std::function<void(const QString& text, const QString& caption)>;

  explicit TFM(QWidget* parent = nullptr);
  ~TFM() override;

  // Start-up: the journal library, the dictionaries, the settings. False when the program
  // cannot go on (the user has seen why).
  bool Start(const QString& programFolder);
  // Opened once the window is first shown, when it names an existing file.
  void SetCommandLineFile(const QString& file) { commandLineFile_ = file; }
  void OpenSession(const QString& fileName);
  void ClearViews();
  void PageControlChange();

  void SetMessageBox(TMessageBox box) { messageBox_ = std::move(box); }
  void SetPultexPath(const QString& path);
  // Saves the pages to PNG files in folder (the journal in its three modes, setups,
  // alarms, trace); used to look at the window without a display.
  void SaveScreenshots(const QString& folder);

  TEngine& Engine() { return engine_; }
  QTabWidget* PageControl() const { return pageControl_; }
  TFrameJournal* FrameJournal() const { return frameJournal_; }
  TFrameTrace* FrameTrace() const { return frameTrace_; }
  TSetupPages* Setups() const { return pcSetups_; }
  TAlarmPage* Alarms() const { return alarmPage_; }
  const TDiagnosticModel& Unpacked() const { return *unpacked_; }
  const TDiagnosticModel& Wrap() const { return *wrap_; }
  QAction* Action(const char* name) const;
  QLabel* StatusPanel() const { return statusPanel_; }
  QLabel* PeriodLabel() const { return label1_; }
  // btJournalFull and btJournalFragment are shown (not for ".Z5K" sessions).
  bool PeriodButtonsShown() const;
  QMenu* RecentMenu() const { return recentMenu_; }
  const QString& SettingsPath() const { return settingsPath_; }
  const QString& WorkDir() const { return workDir_; }
  bool Loading() const { return loading_; }

 signals:
  // A missing library was met while loading: the program ends with this code.
  void ProgramEnd(int code);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildActions();
  void BuildPages();
  void LoadSettings();
  void SaveSettings();
  void UpdateRecentMenu();
  void ShowDebugPages(bool show);
  void SetPageVisible(int page, bool visible);
  void ShowGraphPagesOfSession();
  void ActivateGraphPage(int page);
  void FillDiagnosticPages();
  void ClearDiagnosticPages();
  void FormChangeFocus();
  void ToggleTrace();
  void SetPeriodLabel(const QString& text, const QColor& colour);
  void ShowMessage(const QString& text, const QString& caption);

  void acOpenExecute();
  void acPrintExecute();
  void acExcelExecute();
  void acHelpExecute();
  void acAboutExecute();
  void acPultexExecute();
  void btJournalFullClick();
  void btJournalFragmentClick();

  TEngine engine_;
  QString programFolder_;
  QString settingsPath_;
  QString workDir_ = QStringLiteral(".");
  QStringList recentFiles_;
  QString commandLineFile_;
  QString pultexPath_;
  qint64 pultexProcess_ = 0;
  bool firstPaintDone_ = false;
  bool loading_ = false;
  bool closeAfterLoading_ = false;
  bool started_ = false;
  QElapsedTimer pumpTimer_;
  TMessageBox messageBox_;

  QTabWidget* pageControl_ = nullptr;
  TFrameJournal* frameJournal_ = nullptr;
  TFrameTrace* frameTrace_ = nullptr;
  TSetupPages* pcSetups_ = nullptr;
  TAlarmPage* alarmPage_ = nullptr;
  TDiagnosticModel* unpacked_ = nullptr;
  TDiagnosticModel* wrap_ = nullptr;
  QLabel* statusPanel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* label1_ = nullptr;
  QToolButton* btJournalFull_ = nullptr;
  QToolButton* btJournalFragment_ = nullptr;
  QAction* btJournalFullAction_ = nullptr;
  QAction* btJournalFragmentAction_ = nullptr;
  QMenu* recentMenu_ = nullptr;
};

}  // namespace kalmet::shell
