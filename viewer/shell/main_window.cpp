#include "main_window.h"

#include <signal.h>

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

#include "alarm_page.h"
#include "diagnostic_pages.h"
#include "frame_journal.h"
#include "frame_trace.h"
#include "journal/alarm_log.h"
#include "journal/parser_ver2.h"
#include "session/file_log.h"
#include "session/session_error.h"
#include "session/session_file.h"
#include "settings.h"
#include "setup_pages.h"

namespace kalmet::shell {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

std::string S(const QString& s) {
  return s.toStdString();
}

// Message box texts break lines with CR.
QString BoxText(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// The status panel's texts while a session is opened.
const char* const kStatusJournal = "Формирование журнала";
const char* const kStatusSetups = "Формирование уставок";

// The graph pages stay empty until their builders exist; while they are, the window
// does not switch to them after a load or a period change.
constexpr bool kGraphPagesFilled = false;

// How often long loops let the window repaint.
constexpr int kPumpIntervalMs = 30;

}  // namespace

TFM::TFM(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Kalmet"));
  setAcceptDrops(true);
  resize(1200, 760);
  messageBox_ = [this](const QString& text, const QString& caption) {
    const bool error = caption.startsWith(QStringLiteral("Ошибка")) || caption == "Kalmet";
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information, caption,
                    BoxText(text), QMessageBox::Ok, this);
    box.exec();
  };
  BuildActions();
  BuildPages();
  SetPultexPath(QStringLiteral("/opt/Norvel/Pultex/Pultex"));
}

TFM::~TFM() {
  if (AlarmLog().OnChanged) AlarmLog().OnChanged = nullptr;
  if (engine_.dicts.Setups) engine_.dicts.Setups->OnChanged = nullptr;
  engine_.ctx.Host = {};
}

QAction* TFM::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

void TFM::BuildActions() {
  auto make = [this](const char* name, const QString& caption, const QString& hint, bool enabled) {
    auto* a = new QAction(caption, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setToolTip(hint);
    a->setStatusTip(hint);
    a->setEnabled(enabled);
    addAction(a);
    return a;
  };
  QAction* acOpen = make("acOpen", QStringLiteral("Открыть"), QStringLiteral("Открыть"), false);
  acOpen->setShortcut(QKeySequence::Open);
  acOpen->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  QAction* acPrint = make("acPrint", QStringLiteral("Печать"), QStringLiteral("Печать"), false);
  acPrint->setShortcut(QKeySequence::Print);
  acPrint->setIcon(QIcon::fromTheme(QStringLiteral("document-print"),
                                    style()->standardIcon(QStyle::SP_FileDialogDetailedView)));
  QAction* acExcel = make("acExcel", QStringLiteral("в &Excel"),
                          QStringLiteral("Копировать таблицу в Excel"), false);
  acExcel->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
  QAction* acExit = make("acExit", QStringLiteral("Выход"), QStringLiteral("Выход"), false);
  acExit->setShortcut(QKeySequence::Quit);
  QAction* acHelp =
      make("acHelp", QStringLiteral("Справка"), QStringLiteral("Вызов справки"), true);
  acHelp->setShortcut(QKeySequence::HelpContents);
  acHelp->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
  QAction* acAbout = make("acAbout", QStringLiteral("О программе"), {}, true);
  QAction* acPultex = make("acPultex", {}, QStringLiteral("Запуск Пультекса"), false);
  acPultex->setIcon(style()->standardIcon(QStyle::SP_ComputerIcon));
  // Used by the buttons of the graph pages.
  struct GraphAction {
    const char* name;
    const char* hint;
  };
  for (const GraphAction& g : {GraphAction{"acGraphPageFirst", "Первая страница"},
                               {"acGraphPagePrev", "Пред. страница"},
                               {"acGraphPageNext", "След. страница"},
                               {"acGraphPageLast", "Последняя страница"},
                               {"acGraphUnzoom", "Стандарт"},
                               {"acGraphUpDown", "Выровнять по вертикали"},
                               {"acGraphLeftRight", "Задать период"},
                               {"acGraphRotate", ""},
                               {"acGraphPrev", "Пред. график"},
                               {"acGraphNext", "След. график"}}) {
    make(g.name, {}, QString::fromUtf8(g.hint), true);
  }

  connect(acOpen, &QAction::triggered, this, [this] { acOpenExecute(); });
  connect(acPrint, &QAction::triggered, this, [this] { acPrintExecute(); });
  connect(acExcel, &QAction::triggered, this, [this] { acExcelExecute(); });
  connect(acExit, &QAction::triggered, this, &QWidget::close);
  connect(acHelp, &QAction::triggered, this, [this] { acHelpExecute(); });
  connect(acAbout, &QAction::triggered, this, [this] { acAboutExecute(); });
  connect(acPultex, &QAction::triggered, this, [this] { acPultexExecute(); });

  QMenu* file = menuBar()->addMenu(QStringLiteral("Файл"));
  file->addAction(acOpen);
  recentMenu_ = file->addMenu(QStringLiteral("Последние файлы"));
  file->addAction(acPrint);
  file->addAction(acExcel);
  file->addSeparator();
  file->addAction(acExit);
  QMenu* help = menuBar()->addMenu(QStringLiteral("Помощь"));
  help->addAction(acHelp);
  help->addAction(acAbout);

  QToolBar* bar = addToolBar(QStringLiteral("ActionToolBar"));
  bar->setObjectName(QStringLiteral("ActionToolBar"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  bar->addAction(acOpen);
  bar->addAction(acPrint);
  bar->addAction(acExcel);
  bar->addAction(acHelp);
  bar->addSeparator();
  bar->addAction(acPultex);
  if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(acPultex))) {
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
  }
  bar->addSeparator();
  // The period panel.
  btJournalFull_ = new QToolButton(bar);
  btJournalFull_->setText(QStringLiteral("Полный журнал"));
  btJournalFull_->setToolTip(QStringLiteral("Сформировать полные графики и полный журнал"));
  btJournalFragment_ = new QToolButton(bar);
  btJournalFragment_->setText(QStringLiteral("Фрагмент журнала"));
  btJournalFragment_->setToolTip(
      QStringLiteral("Сформировать фрагмент журнала по текущему фрагменту графиков"));
  btJournalFragment_->setEnabled(false);
  label1_ = new QLabel(bar);
  label1_->setAutoFillBackground(true);
  label1_->setMargin(3);
  label1_->setMinimumWidth(130);
  label1_->setAlignment(Qt::AlignCenter);
  btJournalFullAction_ = bar->addWidget(btJournalFull_);
  btJournalFragmentAction_ = bar->addWidget(btJournalFragment_);
  bar->addWidget(label1_);
  connect(btJournalFull_, &QToolButton::clicked, this, [this] { btJournalFullClick(); });
  connect(btJournalFragment_, &QToolButton::clicked, this, [this] { btJournalFragmentClick(); });

  statusPanel_ = new QLabel(this);
  statusPanel_->setObjectName(QStringLiteral("StatusPanel"));
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 0);
  progress_->setMaximumWidth(200);
  progress_->setMaximumHeight(16);
  progress_->hide();
  statusBar()->addWidget(statusPanel_, 1);
  statusBar()->addPermanentWidget(progress_);

  // The window sees this key before its controls.
  auto* trace = new QShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Space), this);
  trace->setContext(Qt::WindowShortcut);
  connect(trace, &QShortcut::activated, this, [this] { ToggleTrace(); });
}

void TFM::BuildPages() {
  pageControl_ = new QTabWidget(this);
  pageControl_->setObjectName(QStringLiteral("PageControl"));
  frameJournal_ = new TFrameJournal(engine_.ctx, pageControl_);
  frameTrace_ = new TFrameTrace(engine_.ctx, pageControl_);
  pcSetups_ = new TSetupPages(pageControl_);
  alarmPage_ = new TAlarmPage(AlarmLog(), pageControl_);

  unpacked_ = new TDiagnosticModel({QString::fromUtf8(TParserVer2::kUnpackedColumns[0]), "Label",
                                    "DateTime", "Code", "Size", "Array of data"},
                                   6, this);
  auto* unpackedView = new QTreeView(pageControl_);
  unpackedView->setModel(unpacked_);
  unpackedView->setRootIsDecorated(false);
  unpackedView->setUniformRowHeights(true);
  unpackedView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  unpackedView->header()->resizeSection(0, 80);
  unpackedView->header()->resizeSection(1, 150);
  unpackedView->header()->resizeSection(2, 150);
  wrap_ = new TDiagnosticModel({}, 12, this);
  auto* wrapView = new QTableView(pageControl_);
  wrapView->setObjectName(QStringLiteral("StringGrid13"));
  wrapView->setModel(wrap_);
  wrapView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  wrapView->horizontalHeader()->setDefaultSectionSize(150);

  struct Page {
    QWidget* widget;
    const char* caption;
  };
  const Page pages[] = {
      {frameJournal_, "Журнал"},
      {new QWidget(pageControl_), "Графики 5 мин."},
      {new QWidget(pageControl_), "Графики истории"},
      {new QWidget(pageControl_), "Графики 1 час"},
      {new QWidget(pageControl_), "Диаграмма"},
      {new QWidget(pageControl_), "Графики пуска"},
      {pcSetups_, "Уставки"},
      {frameTrace_, "Трассировка"},
      {alarmPage_, "Журнал аварий"},
      {unpackedView, "Unpacked"},
      {wrapView, "Заворот"},
      {new QWidget(pageControl_), "Графики истории"},
  };
  for (const Page& p : pages) pageControl_->addTab(p.widget, QString::fromUtf8(p.caption));
  for (int i :
       {kPageGraphArchive, kPageTrace, kPageAlarms, kPageUnpacked, kPageWrap, kPageCommonChart}) {
    SetPageVisible(i, false);
  }
  connect(pageControl_, &QTabWidget::currentChanged, this, [this] { PageControlChange(); });
  setCentralWidget(pageControl_);
}

void TFM::SetPageVisible(int page, bool visible) {
  pageControl_->setTabVisible(page, visible);
}

void TFM::SetPultexPath(const QString& path) {
  pultexPath_ = path;
}

void TFM::ShowMessage(const QString& text, const QString& caption) {
  QApplication::restoreOverrideCursor();
  if (messageBox_) messageBox_(text, caption);
  if (loading_) QApplication::setOverrideCursor(Qt::WaitCursor);
}

bool TFM::Start(const QString& programFolder) {
  programFolder_ = QDir(programFolder).absolutePath();
  THost& host = engine_.ctx.Host;
  pumpTimer_.start();
  host.ProcessMessages = [this] {
    if (pumpTimer_.elapsed() < kPumpIntervalMs) return;
    // Painting goes on; input waits until the load is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    pumpTimer_.restart();
  };
  host.SetStatus = [this](const std::string& text) { statusPanel_->setText(Q(text)); };
  host.SetTitle = [this](const std::string& text) { setWindowTitle(Q(text)); };
  host.ReportToUser = [this](const std::string& text, const std::string& caption) {
    ShowMessage(Q(text), Q(caption));
  };

  // The journal library and the dictionaries; each failure has shown its box.
  if (!engine_.Start(S(programFolder_ + QLatin1Char('/')))) return false;
  started_ = true;

  LoadSettings();
  // Printing goes through QPrinter, which is always available (also to a PDF file).
  engine_.ctx.sFragmentFrom.clear();
  engine_.ctx.sFragmentTo.clear();
  frameJournal_->SetFragment({}, {});
  frameJournal_->Refill();
  ShowGraphPagesOfSession();
  pageControl_->setCurrentIndex(kPageJournal);
  SetPageVisible(kPageTrace, false);

  if (TSetupCollection* setups = engine_.dicts.Setups.get()) {
    pcSetups_->SetCollection(setups);
    setups->OnChanged = [this] { pcSetups_->Reload(); };
  }
  AlarmLog().OnChanged = [this] {
    alarmPage_->Reload();
    SetPageVisible(kPageAlarms, true);
  };

  for (const char* a : {"acOpen", "acPrint", "acExcel", "acExit"}) Action(a)->setEnabled(true);
  SetPageVisible(kPageAlarms, false);
  WriteLog(std::string("[Kalmet] Запуск программы. ") + "Версия: " + KALMET_VERSION);
  Action("acPultex")->setEnabled(QFileInfo(pultexPath_).isFile());
  PageControlChange();
  return true;
}

void TFM::LoadSettings() {
  settingsPath_ = SettingsFile(programFolder_);
  const TSettings s = shell::LoadSettings(settingsPath_);
  QRect g = geometry();
  if (s.Left) g.moveLeft(*s.Left);
  if (s.Top) g.moveTop(*s.Top);
  if (s.Width) g.setWidth(*s.Width);
  if (s.Height) g.setHeight(*s.Height);
  if (g != geometry()) {
    move(g.topLeft());
    resize(g.size());
  }
  if (s.WorkDir) workDir_ = *s.WorkDir;
  engine_.ctx.iDebug = s.Debug;
  recentFiles_ = s.RecentFiles;
  UpdateRecentMenu();
  ShowDebugPages(s.Debug == 1);
}

void TFM::SaveSettings() {
  if (settingsPath_.isEmpty()) return;
  const QRect g = isMaximized() || isMinimized() ? normalGeometry() : geometry();
  shell::SaveSettings(settingsPath_, g, workDir_, recentFiles_);
}

void TFM::ShowDebugPages(bool show) {
  SetPageVisible(kPageUnpacked, show);
  SetPageVisible(kPageWrap, show);
}

void TFM::UpdateRecentMenu() {
  recentMenu_->clear();
  for (const QString& f : recentFiles_) {
    QAction* a = recentMenu_->addAction(QDir::toNativeSeparators(f));
    connect(a, &QAction::triggered, this, [this, f] {
      if (!loading_) OpenSession(f);
    });
  }
  recentMenu_->setEnabled(!recentFiles_.isEmpty());
}

void TFM::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (firstPaintDone_) return;
  firstPaintDone_ = true;
  // Once the window is on screen, the file named on the command line.
  QTimer::singleShot(0, this, [this] {
    if (started_ && !engine_.ctx.bXmlActive && !commandLineFile_.isEmpty() &&
        QFileInfo(commandLineFile_).isFile()) {
      OpenSession(commandLineFile_);
    }
  });
}

void TFM::closeEvent(QCloseEvent* event) {
  if (loading_) {
    // Closing in the middle of a load would free what the readers work on.
    closeAfterLoading_ = true;
    event->ignore();
    return;
  }
  if (started_) {
    pultexProcess_ = 0;  // the communication program keeps running
    SaveSettings();
    ClearViews();
    AlarmLog().Close();
  }
  QMainWindow::closeEvent(event);
}

void TFM::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (!loading_ && started_ && mime->hasUrls() && mime->urls().size() == 1 &&
      mime->urls()[0].isLocalFile() &&
      KindOfFile(S(mime->urls()[0].toLocalFile())) != TSessionKind::kUnknown) {
    event->acceptProposedAction();
  }
}

void TFM::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty()) return;
  event->acceptProposedAction();
  const QString file = urls[0].toLocalFile();
  // Not inside the drop: the source of the drag waits for it.
  QTimer::singleShot(0, this, [this, file] {
    if (!loading_) OpenSession(file);
  });
}

void TFM::ClearViews() {
  // Start, archive, 5-minute and hourly graphs and the pie have no content yet.
  frameJournal_->ClearTree();
  frameTrace_->Clear();
  ClearDiagnosticPages();
}

void TFM::ClearDiagnosticPages() {
  unpacked_->Clear();
  wrap_->Clear();
}

void TFM::FillDiagnosticPages() {
  TParserVer2& p = engine_.ParserVer2();
  unpacked_->Fill(p.UnpackedCount(), [&p](int i) {
    return i < p.UnpackedCount() ? p.UnpackedRow(i) : std::array<std::string, 6>{};
  });
  wrap_->Fill(p.WrapCount(), [&p](int i) {
    return i < p.WrapCount() ? p.WrapRow(i) : std::array<std::string, 6>{};
  });
}

void TFM::OpenSession(const QString& fileName) {
  if (loading_ || !started_) return;
  SessionContext& ctx = engine_.ctx;
  WriteLog("Открытие файла " + S(fileName));
  workDir_ = QFileInfo(fileName).absolutePath();
  recentFiles_ = AddRecentFile(recentFiles_, QFileInfo(fileName).absoluteFilePath());
  UpdateRecentMenu();
  ClearViews();
  // Nothing of the previous session stays on screen, whatever this load does.
  if (engine_.dicts.Setups) engine_.dicts.Setups->ClearValues();
  setWindowTitle(QStringLiteral("Kalmet"));

  loading_ = true;
  pageControl_->setEnabled(false);
  Action("acOpen")->setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  progress_->show();
  ctx.sFragmentFrom.clear();
  ctx.sFragmentTo.clear();
  frameJournal_->SetFragment(ctx.sFragmentFrom, ctx.sFragmentTo);
  SetPageVisible(kPageAlarms, false);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

  int exitCode = 0;
  try {
    if (engine_.Open(S(fileName))) {
      ctx.Host.Status(kStatusJournal);
      ctx.Host.Pump();
      frameJournal_->Refill();
      SetPeriodLabel(QStringLiteral("Полный журнал"), QColor(192, 192, 192));
      ctx.Host.Pump();
      frameTrace_->Fill();
      if (ctx.iDebug == 1) FillDiagnosticPages();
      ShowGraphPagesOfSession();
      ctx.Host.Status(kStatusSetups);
      ctx.Host.Pump();
      if (engine_.dicts.Setups) engine_.dicts.Setups->FillGrids(ctx.sSoftwareVersion);
      pcSetups_->Reload();
      PageControlChange();
    }
  } catch (const TFatalError&) {
    // The library's message has been shown; the program cannot go on.
    exitCode = 1;
  } catch (const std::exception& e) {
    ShowMessage(QString::fromStdString(e.what()), QStringLiteral("Kalmet"));
  }

  // Whatever happened above.
  statusPanel_->clear();
  progress_->hide();
  QApplication::restoreOverrideCursor();
  pageControl_->setEnabled(true);
  Action("acOpen")->setEnabled(true);
  loading_ = false;
  FormChangeFocus();
  if (exitCode != 0) {
    emit ProgramEnd(exitCode);
  } else if (closeAfterLoading_) {
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

void TFM::ShowGraphPagesOfSession() {
  const SessionContext& ctx = engine_.ctx;
  const bool version0 = ctx.iVersionMajor == 0;
  const bool measurement = !version0 && ctx.bZ5K;
  SetPageVisible(kPageGraph5, version0);
  SetPageVisible(kPageGraphHour, version0);
  SetPageVisible(kPageGraphArchive, !version0 && !measurement);
  // The common chart belongs to ".Z5K" sessions only, also when a version-0 session
  // follows one.
  SetPageVisible(kPageCommonChart, measurement);
  btJournalFullAction_->setVisible(!measurement);
  btJournalFragmentAction_->setVisible(!measurement);
}

bool TFM::PeriodButtonsShown() const {
  return btJournalFullAction_->isVisible() && btJournalFragmentAction_->isVisible();
}

void TFM::ActivateGraphPage(int page) {
  if (kGraphPagesFilled) pageControl_->setCurrentIndex(page);
}

void TFM::FormChangeFocus() {
  activateWindow();
  if (pageControl_->currentIndex() == kPageJournal) frameJournal_->Tree()->setFocus();
}

void TFM::PageControlChange() {
  struct Row {
    bool open, print, excel, full, fragment;
  };
  static const Row kTable[] = {
      {true, true, true, true, false},     // 0 journal
      {true, true, false, true, true},     // 1 5-minute graphs
      {true, true, false, true, true},     // 2 archive graphs
      {true, true, false, false, false},   // 3 hourly graphs
      {true, true, false, false, false},   // 4 pie
      {true, true, false, false, false},   // 5 start graphs
      {true, true, true, false, false},    // 6 setups
      {true, true, false, false, false},   // 7 trace
      {true, false, false, false, false},  // 8 alarm log
  };
  const int index = pageControl_->currentIndex();
  if (index < 0 || index > kPageAlarms) return;
  if (index == kPageSetups || index == kPageAlarms) pcSetups_->pcSetupsChange();
  const Row& r = kTable[index];
  Action("acOpen")->setEnabled(r.open && !loading_);
  Action("acPrint")->setEnabled(r.print);
  Action("acExcel")->setEnabled(r.excel);
  btJournalFull_->setEnabled(r.full);
  btJournalFragment_->setEnabled(r.fragment);
  if (index == kPageJournal && frameJournal_->Model().Rows().Count() > 0) {
    frameJournal_->Tree()->setFocus();
  }
  if (index == kPageTrace && frameTrace_->Model().rowCount() > 0) {
    frameTrace_->Tree()->setFocus();
  }
}

void TFM::ToggleTrace() {
  const bool show = !pageControl_->isTabVisible(kPageTrace);
  SetPageVisible(kPageTrace, show);
  if (show) {
    pageControl_->setCurrentIndex(kPageTrace);
    PageControlChange();
  }
}

void TFM::SetPeriodLabel(const QString& text, const QColor& colour) {
  label1_->setText(text);
  QPalette p = label1_->palette();
  p.setColor(QPalette::Window, colour);
  label1_->setPalette(p);
}

void TFM::acOpenExecute() {
  if (loading_) return;
  // Qt separates the masks of a filter by blanks.
  const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Открыть"), workDir_,
                                                    QStringLiteral("Зачитки (*.xml *.Z4K *.Z5K)"));
  if (!file.isEmpty()) OpenSession(file);
}

void TFM::acPrintExecute() {
  // Page printing and the journal report come with the output component; until then the
  // user is told rather than left with a button that does nothing.
  QMessageBox::information(this, QStringLiteral("Печать"),
                           QStringLiteral("Печать в этой версии программы ещё недоступна."));
}

void TFM::acExcelExecute() {
  // The workbook export comes with the output component.
  QMessageBox::information(
      this, QStringLiteral("в Excel"),
      QStringLiteral("Экспорт в Excel в этой версии программы ещё недоступен."));
}

void TFM::acHelpExecute() {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(programFolder_).filePath("Kalmet.chm")));
}

void TFM::acAboutExecute() {
  ShowMessage(QStringLiteral("Kalmet. Версия ") + QStringLiteral(KALMET_VERSION),
              QStringLiteral("О программе"));
}

void TFM::acPultexExecute() {
  if (pultexProcess_ != 0) {
    // Signal 0 only asks whether the process still exists.
    if (::kill(static_cast<pid_t>(pultexProcess_), 0) == 0) {
      WriteLog("Execute Pultex : Попытка повторного запуска");
      return;
    }
    pultexProcess_ = 0;
    WriteLog("Execute Pultex : Завершение процесса");
  }
  QProcess process;
  process.setProgram(pultexPath_);
  qint64 pid = 0;
  if (process.startDetached(&pid)) {
    pultexProcess_ = pid;
    WriteLog("[Execute Pultex] Запуск процесса");
  } else {
    WriteLog("[Execute Pultex] CreateProcess() - " + S(process.errorString()));
  }
}

void TFM::btJournalFullClick() {
  SessionContext& ctx = engine_.ctx;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ctx.sFragmentFrom.clear();
  ctx.sFragmentTo.clear();
  frameJournal_->SetFragment(ctx.sFragmentFrom, ctx.sFragmentTo);
  frameJournal_->Refill();
  if (pageControl_->currentIndex() == kPageJournal) frameJournal_->Tree()->setFocus();
  ActivateGraphPage(ctx.iVersionMajor != 0 ? kPageGraphArchive : kPageGraph5);
  SetPeriodLabel(QStringLiteral("Полный журнал"), QColor(192, 192, 192));
  QApplication::restoreOverrideCursor();
}

void TFM::btJournalFragmentClick() {
  // The fragment is the time span of the visible graph window; with no graph chart
  // shown there is none, and nothing changes.
}

void TFM::SaveScreenshots(const QString& folder) {
  QDir().mkpath(folder);
  auto shot = [&](const QString& name) {
    QCoreApplication::processEvents();
    grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
  };
  pageControl_->setCurrentIndex(kPageJournal);
  frameJournal_->SetMode(TJournalMode::kAll);
  shot(QStringLiteral("journal_all"));
  frameJournal_->SetMode(TJournalMode::kEvents);
  shot(QStringLiteral("journal_events"));
  frameJournal_->SetMode(TJournalMode::kStops);
  shot(QStringLiteral("journal_stops"));
  frameJournal_->SetMode(TJournalMode::kAll);
  pageControl_->setCurrentIndex(kPageSetups);
  shot(QStringLiteral("setups"));
  if (pageControl_->isTabVisible(kPageAlarms)) {
    pageControl_->setCurrentIndex(kPageAlarms);
    shot(QStringLiteral("alarms"));
  }
  if (frameTrace_->Model().rowCount() > 0) {
    ToggleTrace();
    shot(QStringLiteral("trace"));
    ToggleTrace();
  }
  pageControl_->setCurrentIndex(kPageJournal);
}

}  // namespace kalmet::shell
