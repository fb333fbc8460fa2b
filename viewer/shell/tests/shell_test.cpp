// The window on the offscreen platform: start-up and its failures, opening sessions of
// each kind, the journal, trace, setups and alarm pages, settings, drops and recent files.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <memory>

#include "alarm_page.h"
#include "diagnostic_pages.h"
#include "frame_journal.h"
#include "frame_trace.h"
#include "journal/alarm_log.h"
#include "journal/journal_rows.h"
#include "main_window.h"
#include "marnel/codec/journal_writer.h"
#include "session/cp1251.h"
#include "session/date_time.h"
#include "session/stream_writer.h"
#include "settings.h"
#include "setup_pages.h"

namespace fs = std::filesystem;
using namespace kalmet;
using namespace kalmet::shell;

namespace {

// A copy of the program folder (libraries and dictionaries), so that a test may break
// it and the settings file lands in a folder of its own.
class ProgramFolder {
 public:
  ProgramFolder() {
    const fs::path source =
        qEnvironmentVariable("KALMET_PROGRAM_DIR", KALMET_PROGRAM_DIR).toStdString();
    for (const auto& entry : fs::directory_iterator(source)) {
      const fs::path name = entry.path().filename();
      if (entry.path().extension() == ".so" || name == "Dictionary") {
        fs::copy(entry.path(), Path() / name, fs::copy_options::recursive);
      }
    }
  }
  fs::path Path() const { return dir_.path().toStdString(); }
  QString QPath() const { return dir_.path(); }
  void Remove(const char* relative) const { fs::remove(Path() / relative); }
  QString Write(const std::string& name, const std::string& bytes) const {
    const fs::path p = Path() / "sessions" / name;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
    return QString::fromStdString(p.string());
  }

 private:
  QTemporaryDir dir_;
};

struct Boxes {
  QStringList texts;
  QStringList captions;
};

std::unique_ptr<TFM> MakeWindow(Boxes& boxes) {
  auto w = std::make_unique<TFM>();
  w->SetMessageBox([&boxes](const QString& text, const QString& caption) {
    boxes.texts << text;
    boxes.captions << caption;
  });
  return w;
}

std::unique_ptr<TFM> StartWindow(const ProgramFolder& folder, Boxes& boxes) {
  auto w = MakeWindow(boxes);
  if (!w->Start(folder.QPath())) return nullptr;
  return w;
}

// --- session files -------------------------------------------------------------------

std::string XmlSession(const std::string& version, const std::string& values = {}) {
  return Utf8ToCp1251(
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<SessionReadedData "
      "CSCSoftwareVersion=\"" +
      version +
      "\" WellClusterName=\"Куст 7\" OilWellName=\"Скв. 1203\" "
      "SessionTime=\"12.03.2024 10:15:00\">\r\n" +
      values + "</SessionReadedData>\r\n");
}

std::string Word(uint16_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string Stream(uint16_t major, uint16_t minor, uint16_t protocol) {
  std::string s;
  const uint32_t t = StreamTime(EncodeDate(2024, 3, 12) + EncodeTime(10, 15, 0, 0));
  AppendStreamRecord(s, 10315, 0, 0, t, Word(major));
  AppendStreamRecord(s, 10316, 0, 0, t, Word(minor));
  AppendStreamRecord(s, 10317, 0, 0, t, Word(1));
  AppendStreamRecord(s, 16370, 0, 0, t, Word(protocol));
  AppendStreamRecord(s, 62, 0, 0, t, Utf8ToCp1251("Скв. 77") + std::string(1, '\0'));
  AppendStreamRecord(s, 9401, 0, 0, t, std::string(4, '\0'));
  return s;
}

std::string Slices(int n) {
  std::string out;
  for (int i = 0; i < n; ++i) {
    TMeasurementSlice s;
    s.Number = static_cast<uint32_t>(i + 1);
    s.Time = StreamTime(EncodeDate(2024, 3, 12) + EncodeTime(9, i, 0, 0));
    s.Uab = 380;
    s.Ubc = 381;
    s.Uca = 379;
    s.Cos = 0.85f;
    AppendMeasurementSlice(out, s);
  }
  return out;
}

// --- a session built in memory -------------------------------------------------------

TDateTime T(int minute) {
  return EncodeDate(2024, 3, 12) + EncodeTime(12, minute, 0, 0);
}

TEventData* AddEvent(SessionContext& ctx, int minute, const char* name, uint32_t color,
                     std::vector<std::pair<std::string, std::string>> values = {}) {
  auto e = std::make_unique<TEventData>();
  e->DateTime = T(minute);
  e->Key = DateTimeKey(e->DateTime);
  e->Code = static_cast<uint32_t>(minute);
  e->Name = name;
  e->Color = color;
  if (!values.empty()) {
    e->ExData = std::make_unique<TOwnedList<TExData>>();
    int n = 0;
    for (auto& [exName, text] : values) {
      e->ExData->Add(std::to_string(n++),
                     std::make_unique<TExData>(exName, text, std::array<uint8_t, 4>{}, "А"));
    }
  }
  TEventData* raw = e.get();
  std::string key = e->Key;
  ctx.Journal.Add(std::move(key), std::move(e));
  return raw;
}

void AddSample(SessionContext& ctx, int minute, float uab) {
  auto s = std::make_unique<TEventData>(NAN);
  s->DateTime = T(minute);
  s->Key = DateTimeKey(s->DateTime);
  s->GraphPoint = 1;
  s->SetValue(1, uab);
  std::string key = s->Key;
  ctx.slGraph.Add(std::move(key), std::move(s));
}

// Protocol 1: three events (a start with values, a red stop, a message) and two samples.
void FillSession(SessionContext& ctx) {
  ctx.iProtocol = 1;
  ctx.iVersionMajor = 2;
  AddEvent(ctx, 0, "Пуск двигателя", 0x000000, {{"Ia", "52,1"}, {"", "hidden"}});
  AddSample(ctx, 2, 380);
  AddEvent(ctx, 5, "Останов: защита от перегруза", kStopColor);
  AddSample(ctx, 7, 381);
  AddEvent(ctx, 10, "Сообщение", 0xFF0000);
  BuildJournal(ctx);
}

QString Name(const TFrameJournal& f, int row) {
  const TEventData* r = f.Model().Rows().Record(row);
  return r ? QString::fromStdString(r->Name.empty() ? r->Key : r->Name) : QString();
}

std::vector<QString> Names(const TFrameJournal& f) {
  std::vector<QString> out;
  for (int i = 0; i < f.Model().Rows().Count(); ++i) out.push_back(Name(f, i));
  return out;
}

int VisibleTabs(const QTabWidget* t) {
  int n = 0;
  for (int i = 0; i < t->count(); ++i) n += t->isTabVisible(i);
  return n;
}

TData AlarmImage(std::initializer_list<marnel::Alarm> alarms) {
  marnel::JournalWriter writer;
  for (const auto& a : alarms) writer.Append(a);
  return writer.image();
}

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

 private slots:
  void StartUpShowsTheInitialPagesAndActions();
  void MissingLibraryOrDictionaryEndsStartUp_data();
  void MissingLibraryOrDictionaryEndsStartUp();
  void JournalModesOrderAndFragment();
  void JournalTreeDrawsNamesAcrossTheColumns();
  void TimeHeaderClickReversesAndKeepsTheEvent();
  void TraceToggledByShiftCtrlSpace();
  void SessionKindsDecidePagesTitleAndLayout();
  void FailedLoadsLeaveTheViewsCleared_data();
  void FailedLoadsLeaveTheViewsCleared();
  void AlarmPageListsAlarmsAndContexts();
  void SettingsRoundTrip();
  void DebugKeyShowsTheDiagnosticPages_data();
  void DebugKeyShowsTheDiagnosticPages();
  void DropAndRecentFilesOpenSessions();
  void CommandLineFileOpensAtTheFirstShow();
  void SamplesShowWhatTheGeneratorWrote_data();
  void SamplesShowWhatTheGeneratorWrote();
};

void ShellTest::StartUpShowsTheInitialPagesAndActions() {
  ProgramFolder folder;
  Boxes boxes;
  auto w = StartWindow(folder, boxes);
  QVERIFY(w);
  QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join('\n')));
  QCOMPARE(w->windowTitle(), QStringLiteral("Kalmet"));
  QTabWidget* pages = w->PageControl();
  QCOMPARE(pages->count(), 12);
  QCOMPARE(pages->tabText(kPageJournal), QStringLiteral("Журнал"));
  QCOMPARE(pages->tabText(kPageAlarms), QStringLiteral("Журнал аварий"));
  QCOMPARE(pages->tabText(kPageWrap), QStringLiteral("Заворот"));
  QCOMPARE(pages->currentIndex(), int(kPageJournal));
  // Before any session the version is -1: the archive graphs are the graph page.
  const std::pair<int, bool> visible[] = {
      {kPageJournal, true},    {kPageGraph5, false}, {kPageGraphArchive, true},
      {kPageGraphHour, false}, {kPagePie, true},     {kPageGraphStart, true},
      {kPageSetups, true},     {kPageTrace, false},  {kPageAlarms, false},
      {kPageUnpacked, false},  {kPageWrap, false},   {kPageCommonChart, false}};
  for (auto [page, shown] : visible) QCOMPARE(pages->isTabVisible(page), shown);
  for (const char* a : {"acOpen", "acPrint", "acExcel", "acExit", "acHelp", "acAbout"}) {
    QVERIFY2(w->Action(a)->isEnabled(), a);
  }
  QCOMPARE(w->Action("acOpen")->shortcut(), QKeySequence(QKeySequence::Open));
  QCOMPARE(w->Action("acPrint")->shortcut(), QKeySequence(QKeySequence::Print));
  QCOMPARE(w->Action("acHelp")->shortcut(), QKeySequence(QKeySequence::HelpContents));
  QVERIFY(!w->Action("acPultex")->isEnabled());  // no communication program here
  // The journal shows the columns of the default layout and no rows; only the
  // placeholder setup page is shown.
  QCOMPARE(w->FrameJournal()->Model().columnCount(), 16);
  QCOMPARE(w->FrameJournal()->Model().rowCount(), 0);
  QCOMPARE(VisibleTabs(w->Setups()), 1);
  QVERIFY(w->Setups()->isTabVisible(0));
}

void ShellTest::MissingLibraryOrDictionaryEndsStartUp_data() {
  QTest::addColumn<QString>("remove");
  QTest::addColumn<QString>("names");
  QTest::newRow("journal library") << "libtrelbo.so"
                                   << "libtrelbo.so";
  QTest::newRow("variables") << "Dictionary/Variables/Variables.xml"
                             << "Variables.xml";
  QTest::newRow("controller events") << "Dictionary/Dictionary/KSUEvents.xml"
                                     << "KSUEvents.xml";
  QTest::newRow("formats") << "Dictionary/Dictionary/VocFormat.xml"
                           << "VocFormat.xml";
  QTest::newRow("events") << "Dictionary/Dictionary/VocEvent.xml"
                          << "VocEvent.xml";
}

void ShellTest::MissingLibraryOrDictionaryEndsStartUp() {
  QFETCH(QString, remove);
  QFETCH(QString, names);
  ProgramFolder folder;
  folder.Remove(remove.toUtf8().constData());
  Boxes boxes;
  auto w = MakeWindow(boxes);
  QVERIFY(!w->Start(folder.QPath()));
  QCOMPARE(boxes.texts.size(), 1);
  QVERIFY2(boxes.texts[0].contains(names), qPrintable(boxes.texts[0]));
  QVERIFY2(boxes.texts[0].endsWith(QStringLiteral("Продлжение работы невозможно!")),
           qPrintable(boxes.texts[0]));
}

void ShellTest::JournalModesOrderAndFragment() {
  ProgramFolder folder;
  Boxes boxes;
  auto w = StartWindow(folder, boxes);
  QVERIFY(w);
  SessionContext& ctx = w->Engine().ctx;
  FillSession(ctx);
  TFrameJournal& f = *w->FrameJournal();
  f.Refill();
  const QString sample2 = QString::fromStdString(DateTimeKey(T(2)));
  const QString sample7 = QString::fromStdString(DateTimeKey(T(7)));
  using V = std::vector<QString>;
  QCOMPARE(Names(f),
           (V{"Сообщение", sample7, "Останов: защита от перегруза", sample2, "Пуск двигателя"}));
  QCOMPARE(f.Model().columnCount(), 16);
  QCOMPARE(f.Model().headerData(4, Qt::Horizontal).toString(), QStringLiteral(" Ia, А"));
  QCOMPARE(f.Model().data(f.Model().index(1, 1)).toString(), QStringLiteral("     381"));
  QCOMPARE(f.Model().data(f.Model().index(0, 0)).toString(), QStringLiteral("12.03.2024 12:10:00"));

  // The start's one named value hangs below it, expanded; other events have none.
  const QModelIndex start = f.Model().index(4, 0);
  QCOMPARE(f.Model().rowCount(start), 1);
  QVERIFY(f.Tree()->isExpanded(start));
  QCOMPARE(f.Model().data(f.Model().index(0, 1, start)).toString(), QStringLiteral("Ia 52,1 А"));
  QVERIFY(!f.Model().hasChildren(f.Model().index(2, 0)));
  QCOMPARE(f.Model().data(f.Model().index(0, 1, start), TJournalModel::ColorRole).value<QColor>(),
           QColor(Qt::black));
  QCOMPARE(f.Model().data(f.Model().index(0, 1), TJournalModel::ColorRole).value<QColor>(),
           QColor(Qt::blue));  // 0x00BBGGRR

  f.SetMode(TJournalMode::kEvents);
  QCOMPARE(Names(f), (V{"Сообщение", "Останов: защита от перегруза", "Пуск двигателя"}));
  f.SetMode(TJournalMode::kStops);
  QCOMPARE(Names(f), (V{"Останов: защита от перегруза"}));
  f.ToggleOrder();
  QCOMPARE(Names(f), (V{"Останов: защита от перегруза"}));
  f.SetMode(TJournalMode::kAll);
  QCOMPARE(Names(f).front(), QStringLiteral("Пуск двигателя"));

  // Fragment bounds are keys; a lower bound after the upper leaves the tree empty.
  f.SetFragment(" " + DateTimeKey(T(3)), DateTimeKey(T(7)) + " ");
  f.Refill();
  QCOMPARE(Names(f), (V{"Останов: защита от перегруза", sample7}));
  f.SetFragment(DateTimeKey(T(8)), DateTimeKey(T(3)));
  f.Refill();
  QCOMPARE(f.Model().rowCount(), 0);
  f.SetFragment({}, {});
  f.Refill();
  QCOMPARE(f.Model().rowCount(), 5);
}

void ShellTest::JournalTreeDrawsNamesAcrossTheColumns() {
  ProgramFolder folder;
  Boxes boxes;
  auto w = StartWindow(folder, boxes);
  QVERIFY(w);
  FillSession(w->Engine().ctx);
  TFrameJournal& f = *w->FrameJournal();
  w->resize(1000, 600);
  w->show();
  f.Refill();
  f.Tree()->clearSelection();
  f.Tree()->setCurrentIndex({});
  QCoreApplication::processEvents();
  const QImage image = f.Tree()->viewport()->grab().toImage();
  // Row 2 is the red stop: its name starts after the time column and runs on past
  // column 2, which has no text of its own.
  const QRect row = f.Tree()->visualRect(f.Model().index(2, 0));
  const QHeaderView* h = f.Tree()->header();
  auto count = [&](int from, int to, QRgb colour) {
    int n = 0;
    for (int x = from; x < to; ++x) {
      for (int y = row.top(); y <= row.bottom(); ++y) n += image.pixel(x, y) == colour;
    }
    return n;
  };
  const QRgb red = qRgb(255, 0, 0);
  QCOMPARE(count(0, h->sectionPosition(1), red), 0);
  QVERIFY(count(h->sectionPosition(2), h->sectionPosition(3), red) > 0);
  QVERIFY(count(h->sectionPosition(3), h->sectionPosition(4), red) > 0);
  // The background is the journal's grey.
  QCOMPARE(image.pixel(h->sectionPosition(14) + 3, row.top() + 1),
           TFrameJournal::kBackground.rgb());
}

void ShellTest::TimeHeaderClickReversesAndKeepsTheEvent() {
  ProgramFolder folder;
  Boxes boxes;
  auto w = StartWindow(folder, boxes);
  QVERIFY(w);
  FillSession(w->Engine().ctx);
  w->show();
  TFrameJournal& f = *w->FrameJournal();
  f.Refill();
  QCOMPARE(f.FocusedRow(), 0);
  f.Tree()->setCurrentIndex(f.Model().index(2, 0));  // the stop
  QHeaderView* h = f.Tree()->header();
  auto click = [&](int section) {
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(section) + 5, h->height() / 2));
  };
  click(3);  // other headers do nothing
  QCOMPARE(f.Order(), TJournalOrder::kNewestFirst);
  click(0);
  QCOMPARE(f.Order(), TJournalOrder::kOldestFirst);
  QCOMPARE(Name(f, 0), QStringLiteral("Пуск двигателя"));
  QCOMPARE(Name(f, f.FocusedRow()), QStringLiteral("Останов: защита от перегруза"));
  click(0);
  QCOMPARE(f.Order(), TJournalOrder::kNewestFirst);
  QCOMPARE(Name(f, f.FocusedRow()), QStringLiteral("Останов: защита от перегруза"));
  QCOMPARE(f.FocusedRow(), 2);
}

void ShellTest::TraceToggledByShiftCtrlSpace() {
  ProgramFolder folder;
  Boxes boxes;
  auto w = StartWindow(folder, boxes);
  QVERIFY(w);
  SessionContext& ctx = w->Engine().ctx;
  for (int minute : {1, 2}) {
    auto e = std::make_unique<TEventData>();
    e->DateTime = T(minute);
    e->Name = minute == 1 ? "Нажата клавиша" : "Запрос";
    e->ExData = std::make_unique<TOwnedList<TExData>>();
    e->ExData->Add("1", std::make_unique<TExData>("Клавиша", "F1", std::array<uint8_t, 4>{}, ""));
    std::string key = DateTimeKey(e->DateTime);
    ctx.slTrasser.Add(std::move(key), std::move(e));
  }
  w->FrameTrace()->Fill();
  w->show();
  w->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(w.get()));
  QTabWidget* pages = w->PageControl();
  QTest::keyClick(w.get(), Qt::Key_Space, Qt::ControlModifier);
  QVERIFY(!pages->isTabVisible(kPageTrace));
  QTest::keyClick(w.get(), Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);
  QVERIFY(pages->isTabVisible(kPageTrace));
  QCOMPARE(pages->currentIndex(), int(kPageTrace));
  const auto& m = w->FrameTrace()->Model();
  QCOMPARE(m.rowCount(), 2);
  QCOMPARE(m.data(m.index(0, 1)).toString(), QStringLiteral("Запрос"));  // newest first
  QCOMPARE(m.data(m.index(0, 2, m.index(1, 0))).toString(), QStringLiteral("F1"));
  QTest::keyClick(w.get(), Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);
  QVERIFY(!pages->isTabVisible(kPageTrace));
}

void ShellTest::SessionKindsDecidePagesTitleAndLayout() {
  ProgramFolder folder;
  Boxes boxes;
  auto w = StartWindow(folder, boxes);
  QVERIFY(w);
  QTabWidget* pages = w->PageControl();
  const SessionContext& ctx = w->Engine().ctx;

  // A version-0 controller: 5-minute and hourly graphs, its setup pages.
  w->OpenSession(folder.Write("v0.XML", XmlSession("КСУ-1.2")));
  QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join('\n')));
  QCOMPARE(ctx.iVersionMajor, 0);
  QVERIFY(w->windowTitle().contains(QStringLiteral("Скв. 1203")));
  QVERIFY(pages->isTabVisible(kPageGraph5) && pages->isTabVisible(kPageGraphHour));
  QVERIFY(!pages->isTabVisible(kPageGraphArchive));
  QVERIFY(!w->Setups()->isTabVisible(0));
  QVERIFY(VisibleTabs(w->Setups()) >= 1);
  QVERIFY(pages->isEnabled());
  QCOMPARE(w->StatusPanel()->text(), QString());

  // A ".Z5K" session: the common chart replaces the archive page, the period buttons
  // go, and the journal shows the measurement slices in their 28 columns.
  w->OpenSession(folder.Write("m.Z5K", Z5KContainer(Stream(3, 5, 2), Slices(4))));
  QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join('\n')));
  QVERIFY(ctx.bZ5K);
  QVERIFY(pages->isTabVisible(kPageCommonChart));
  QVERIFY(!pages->isTabVisible(kPageGraphArchive));
  QVERIFY(!pages->isTabVisible(kPageGraph5));
  QVERIFY(!w->PeriodButtonsShown());
  QCOMPARE(w->FrameJournal()->Model().columnCount(), 28);
  QCOMPARE(w->FrameJournal()->Model().rowCount(), 4);
  QCOMPARE(w->FrameJournal()->Model().headerData(27, Qt::Horizontal).toString(),
           QStringLiteral(" Виб.Z,g"));
  QCOMPARE(w->PeriodLabel()->text(), QStringLiteral("Полный журнал"));

  // A version-1 ".xml" after it: archive graphs again, no measurement journal left.
  w->OpenSession(folder.Write("v1.xml", XmlSession("2.13.4")));
  QVERIFY(!ctx.bZ5K);
  QVERIFY(pages->isTabVisible(kPageGraphArchive));
  QVERIFY(!pages->isTabVisible(kPageCommonChart));
  QVERIFY(w->PeriodButtonsShown());
  QCOMPARE(w->FrameJournal()->Model().rowCount(), 0);
  QCOMPARE(w->FrameJournal()->Model().columnCount(), 16);

  // A ".Z4K" of protocol 2.
  w->OpenSession(folder.Write("p2.z4k", Stream(3, 5, 2)));
  QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join('\n')));
  QCOMPARE(ctx.iVersionMajor, 3);
  QVERIFY(w->windowTitle().contains(QStringLiteral("Скв. 77")));
  QVERIFY(pages->isTabVisible(kPageGraphArchive));
  QCOMPARE(w->FrameJournal()->Model().headerData(4, Qt::Horizontal).toString(),
           QStringLiteral(" Ia,А"));
}

void ShellTest::FailedLoadsLeaveTheViewsCleared_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("box");
  QTest::newRow("missing file") << "absent.xml" << QByteArray() << "";
  QTest::newRow("unknown extension") << "s.txt" << QByteArray("x") << "";
  QTest::newRow("wrong root") << "r.xml" << QByteArray("<?xml version=\"1.0\"?><Other/>") << "";
  QTest::newRow("broken xml") << "b.xml" << QByteArray("<SessionReadedData><Value") << "";
  QTest::newRow("damaged container") << "d.Z5K" << QByteArray("short") << "Kalmet";
}

void ShellTest::FailedLoadsLeaveTheViewsCleared() {
  QFETCH(QString, name);
  QFETCH(QByteArray, bytes);
  QFETCH(QString, box);
  ProgramFolder folder;
  Boxes boxes;
  auto w = StartWindow(folder, boxes);
  QVERIFY(w);
  // A good session first, so that anything left of it would show.
  w->OpenSession(folder.Write("good.Z5K", Z5KContainer(Stream(3, 5, 2), Slices(3))));
  QCOMPARE(w->FrameJournal()->Model().rowCount(), 3);
  QVERIFY(VisibleTabs(w->Setups()) >= 1 && !w->Setups()->isTabVisible(0));
  AlarmLog().ParsingAlarmLog(AlarmImage({{"Перегруз", "12.03.2024 10:15:00", {}}}));
  QVERIFY(w->PageControl()->isTabVisible(kPageAlarms));

  const QString file = bytes.isEmpty() ? folder.QPath() + "/" + name
                                       : folder.Write(name.toStdString(), bytes.toStdString());
  w->OpenSession(file);
  QCOMPARE(boxes.captions.join(','), box);
  QCOMPARE(w->FrameJournal()->Model().rowCount(), 0);
  QCOMPARE(w->FrameTrace()->Model().rowCount(), 0);
  QVERIFY(!w->PageControl()->isTabVisible(kPageAlarms));
  for (int slot = 1; slot < TSetupPages::kSlots; ++slot) {
    const auto& m = w->Setups()->GridModel(slot);
    for (int r = 0; r < m.rowCount(); ++r) QVERIFY(m.data(m.index(r, 1)).toString().isEmpty());
  }
  QCOMPARE(w->windowTitle(), QStringLiteral("Kalmet"));
  QVERIFY(w->PageControl()->isEnabled());
  QVERIFY(w->Action("acOpen")->isEnabled());
  QVERIFY(!w->Loading());
  QCOMPARE(QApplication::overrideCursor(), nullptr);
  QCOMPARE(w->StatusPanel()->text(), QString());
}

void ShellTest::AlarmPageListsAlarmsAndContexts() {
  ProgramFolder folder;
  Boxes boxes;
  auto w = StartWindow(folder, boxes);
  QVERIFY(w);
  using marnel::AlarmGroup;
  using marnel::AlarmParameter;
  const marnel::Alarm older{
      "Перегруз",
      "12.03.2024 10:15:00",
      {AlarmParameter{"Ia", "52,1 А"}, AlarmGroup{"Напряжения", {{"Uab", "380"}, {"Ubc", "381"}}}}};
  const marnel::Alarm newer{"Недогруз", "13.03.2024 08:00:05", {AlarmParameter{"Загр", "12"}}};
  QVERIFY(AlarmLog().ParsingAlarmLog(AlarmImage({older, newer}), &w->Engine().ctx.Host));
  QVERIFY(w->PageControl()->isTabVisible(kPageAlarms));
  QTableWidget* records = w->Alarms()->RecordList();
  QTableWidget* params = w->Alarms()->ParamList();
  QCOMPARE(records->rowCount(), 2);
  QCOMPARE(records->item(0, 0)->text(), QStringLiteral("Недогруз"));
  QCOMPARE(records->item(1, 1)->text(), QStringLiteral("12.03.2024 10:15:00"));
  QCOMPARE(records->horizontalHeaderItem(0)->text(), QStringLiteral("Авария"));
  // The first alarm is selected and its context shown.
  QCOMPARE(records->currentRow(), 0);
  QCOMPARE(params->rowCount(), 1);
  QCOMPARE(params->item(0, 0)->text(), QStringLiteral("Загр"));
  records->selectRow(1);
  QCOMPARE(params->rowCount(), 4);
  QCOMPARE(params->item(1, 0)->text(), QStringLiteral("Напряжения"));
  QCOMPARE(params->item(1, 1)->text(), QString());
  QCOMPARE(params->item(3, 1)->text(), QStringLiteral("381"));
  // The page's actions: open only.
  w->PageControl()->setCurrentIndex(kPageAlarms);
  QVERIFY(w->Action("acOpen")->isEnabled());
  QVERIFY(!w->Action("acPrint")->isEnabled());
  QVERIFY(!w->Action("acExcel")->isEnabled());
  // A second journal replaces the first.
  QVERIFY(AlarmLog().ParsingAlarmLog(AlarmImage({older})));
  QCOMPARE(records->rowCount(), 1);
  QCOMPARE(params->rowCount(), 4);
  QCOMPARE(params->item(0, 0)->text(), QStringLiteral("Ia"));
  QVERIFY(boxes.texts.isEmpty());
}

void ShellTest::SettingsRoundTrip() {
  ProgramFolder folder;
  const QString ini = folder.QPath() + "/Kalmet.ini";
  QCOMPARE(SettingsFile(folder.QPath()), ini);
  {
    QSettings s(ini, QSettings::IniFormat);
    s.setValue("MainForm/Width", 900);
  }
  Boxes boxes;
  QRect before;
  {
    auto w = MakeWindow(boxes);
    before = w->geometry();
    QVERIFY(w->Start(folder.QPath()));
    // Only the width is in the file.
    QCOMPARE(w->width(), 900);
    QCOMPARE(w->height(), before.height());
    QCOMPARE(w->WorkDir(), QStringLiteral("."));
    w->resize(1010, 650);
    w->move(40, 30);
    w->OpenSession(folder.Write("v1.xml", XmlSession("2.13.4")));
    w->close();
  }
  const TSettings s = LoadSettings(ini);
  QCOMPARE(s.Width.value_or(0), 1010);
  QCOMPARE(s.Height.value_or(0), 650);
  QCOMPARE(s.WorkDir.value_or(""), folder.QPath() + "/sessions");
  QCOMPARE(s.RecentFiles, QStringList{folder.QPath() + "/sessions/v1.xml"});
  QVERIFY(!QSettings(ini, QSettings::IniFormat).contains("MainForm/Debug"));
  {
    auto w = StartWindow(folder, boxes);
    QVERIFY(w);
    QCOMPARE(w->size(), QSize(1010, 650));
    QCOMPARE(w->WorkDir(), folder.QPath() + "/sessions");
    QCOMPARE(w->RecentMenu()->actions().size(), 1);
  }
  QCOMPARE(AddRecentFile({"a", "b", "c"}, "b"), (QStringList{"b", "a", "c"}));
  QStringList many;
  for (int i = 0; i < 10; ++i) many = AddRecentFile(many, QString::number(i));
  QCOMPARE(many.size(), kMaxRecentFiles);
  QCOMPARE(many.front(), QStringLiteral("9"));
}

void ShellTest::DebugKeyShowsTheDiagnosticPages_data() {
  QTest::addColumn<QString>("debug");
  QTest::addColumn<bool>("shown");
  QTest::newRow("absent") << "" << false;
  QTest::newRow("1") << "1" << true;
  QTest::newRow("2") << "2" << false;
}

void ShellTest::DebugKeyShowsTheDiagnosticPages() {
  QFETCH(QString, debug);
  QFETCH(bool, shown);
  ProgramFolder folder;
  if (!debug.isEmpty()) {
    QSettings(folder.QPath() + "/Kalmet.ini", QSettings::IniFormat)
        .setValue("MainForm/Debug", debug);
  }
  Boxes boxes;
  auto w = StartWindow(folder, boxes);
  QVERIFY(w);
  QCOMPARE(w->PageControl()->isTabVisible(kPageUnpacked), shown);
  QCOMPARE(w->PageControl()->isTabVisible(kPageWrap), shown);
  QCOMPARE(w->Engine().ctx.iDebug, debug.isEmpty() ? 0 : debug.toInt());
}

void ShellTest::DropAndRecentFilesOpenSessions() {
  ProgramFolder folder;
  Boxes boxes;
  auto w = StartWindow(folder, boxes);
  QVERIFY(w);
  const QString session = folder.Write("drop.Z5K", Z5KContainer(Stream(3, 5, 2), Slices(2)));
  auto drop = [&](const QString& file) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(w.get(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(w.get(), &dropped);
    QCoreApplication::processEvents();
    return true;
  };
  QVERIFY(!drop(folder.QPath() + "/notes.txt"));
  QVERIFY(drop(session));
  QCOMPARE(w->FrameJournal()->Model().rowCount(), 2);
  QCOMPARE(w->RecentMenu()->actions().size(), 1);
  w->OpenSession(folder.Write("v1.xml", XmlSession("2.13.4")));
  QCOMPARE(w->FrameJournal()->Model().rowCount(), 0);
  QCOMPARE(w->RecentMenu()->actions().size(), 2);
  w->RecentMenu()->actions()[1]->trigger();  // the ".Z5K" again
  QCOMPARE(w->FrameJournal()->Model().rowCount(), 2);
  QVERIFY(boxes.texts.isEmpty());
}

void ShellTest::CommandLineFileOpensAtTheFirstShow() {
  ProgramFolder folder;
  Boxes boxes;
  {
    // A file that does not exist is ignored silently.
    auto w = StartWindow(folder, boxes);
    QVERIFY(w);
    w->SetCommandLineFile(folder.QPath() + "/absent.Z5K");
    w->show();
    QTest::qWait(50);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kalmet"));
    QVERIFY(w->RecentMenu()->actions().isEmpty());
  }
  auto w = StartWindow(folder, boxes);
  QVERIFY(w);
  w->SetCommandLineFile(folder.Write("cmd.Z5K", Z5KContainer(Stream(3, 5, 2), Slices(5))));
  w->show();
  QTRY_COMPARE(w->FrameJournal()->Model().rowCount(), 5);
  QVERIFY(w->windowTitle().contains(QStringLiteral("Скв. 77")));
  QVERIFY(boxes.texts.isEmpty());
}

void ShellTest::SamplesShowWhatTheGeneratorWrote_data() {
  QTest::addColumn<QString>("file");
  const QDir samples(QStringLiteral(KALMET_SOURCE_DIR "/samples"));
  for (const QString& name : samples.entryList({"*.xml", "*.Z4K", "*.Z5K"}, QDir::Files)) {
    QTest::newRow(qPrintable(name)) << samples.filePath(name);
  }
}

// Each bundled sample with the diagnostic pages on: title, pages by session kind, the
// journal in its three modes, the trace, the alarms and the setups against its facts.
void ShellTest::SamplesShowWhatTheGeneratorWrote() {
  QFETCH(QString, file);
  QFile factsFile(file + ".facts.json");
  QVERIFY(factsFile.open(QIODevice::ReadOnly));
  const QJsonObject facts = QJsonDocument::fromJson(factsFile.readAll()).object();
  ProgramFolder folder;
  QSettings(folder.QPath() + "/Kalmet.ini", QSettings::IniFormat).setValue("MainForm/Debug", 1);
  Boxes boxes;
  auto w = StartWindow(folder, boxes);
  QVERIFY(w);
  w->OpenSession(file);
  QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join('\n')));
  const SessionContext& ctx = w->Engine().ctx;
  QTabWidget* pages = w->PageControl();

  QVERIFY(w->windowTitle().contains(facts["well"].toString()));
  QVERIFY(w->windowTitle().contains(facts["cluster"].toString()));
  const int protocol = facts["protocol"].toInt();
  const bool z5k = file.endsWith(".Z5K");
  QCOMPARE(ctx.iProtocol, protocol);
  QCOMPARE(pages->isTabVisible(kPageGraph5), protocol == 0);
  QCOMPARE(pages->isTabVisible(kPageGraphHour), protocol == 0);
  QCOMPARE(pages->isTabVisible(kPageGraphArchive), protocol != 0 && !z5k);
  QCOMPARE(pages->isTabVisible(kPageCommonChart), protocol != 0 && z5k);
  QCOMPARE(pages->isTabVisible(kPageAlarms), facts["alarms"].toInt() > 0);

  TFrameJournal& f = *w->FrameJournal();
  QCOMPARE(f.Model().rowCount(), ctx.Journal.Count() + ctx.slGraph.Count());
  f.SetMode(TJournalMode::kEvents);
  QCOMPARE(f.Model().rowCount(), facts["journal-events"].toInt());
  int red = 0;
  for (int i = 0; i < ctx.Journal.Count(); ++i) red += ctx.Journal.GetEvent(i)->Color == kStopColor;
  f.SetMode(TJournalMode::kStops);
  QCOMPARE(f.Model().rowCount(), red);
  QVERIFY(red > 0);
  QCOMPARE(w->FrameTrace()->Model().rowCount(), facts["trace-records"].toInt());

  if (facts["alarms"].toInt() > 0) {
    QTableWidget* records = w->Alarms()->RecordList();
    QCOMPARE(records->rowCount(), facts["alarms"].toInt());
    QCOMPARE(records->item(0, 0)->text() + "=" + records->item(0, 1)->text(),
             facts["newest-alarm"].toString());
    QVERIFY(w->Alarms()->ParamList()->rowCount() > 0);
  }

  for (const QJsonValue& v : facts["setups"].toArray()) {
    const QString name = v["name"].toString(), value = v["value"].toString();
    bool found = false;
    for (int slot = 1; slot < TSetupPages::kSlots && !found; ++slot) {
      const auto& m = w->Setups()->GridModel(slot);
      for (int r = 0; r < m.rowCount() && !found; ++r) {
        found =
            m.data(m.index(r, 0)).toString() == name && m.data(m.index(r, 1)).toString() == value;
      }
    }
    QVERIFY2(found, qPrintable(name + " = " + value));
  }

  QCOMPARE(w->Unpacked().rowCount(), facts["image-records"].toInt());
}

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
