#include "alarm_page.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "journal/alarm_log.h"

namespace kalmet::shell {
namespace {

QTableWidget* ReportList(const QString& first, const QString& second) {
  auto* list = new QTableWidget(0, 2);
  list->setHorizontalHeaderLabels({first, second});
  list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list->horizontalHeader()->setStretchLastSection(true);
  list->verticalHeader()->hide();
  list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setShowGrid(true);
  list->setWordWrap(false);
  list->setFont(QFont(QStringLiteral("Arial")));
  return list;
}

QWidget* Group(const QString& caption, QWidget* content) {
  auto* box = new QGroupBox(caption);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(content);
  return box;
}

void Fill(QTableWidget* list, const std::vector<TAlarmLine>& lines) {
  list->setRowCount(static_cast<int>(lines.size()));
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    const TAlarmLine& l = lines[static_cast<size_t>(i)];
    list->setItem(i, 0, new QTableWidgetItem(QString::fromStdString(l.Caption)));
    list->setItem(i, 1, new QTableWidgetItem(QString::fromStdString(l.Value)));
  }
}

// The first column takes its contents' width; the second fills the rest.
void AutoSize(QTableWidget* list, int minimum, int maximum) {
  list->resizeColumnToContents(0);
  list->setColumnWidth(0, std::clamp(list->columnWidth(0) + 12, minimum, maximum));
}

}  // namespace

TAlarmPage::TAlarmPage(TAlarmLog& log, QWidget* parent)
    : QWidget(parent),
      log_(log),
      recordList_(ReportList(QStringLiteral("Авария"), QStringLiteral("Время"))),
      paramList_(ReportList(QStringLiteral("Параметр"), QStringLiteral("Значение"))) {
  recordList_->setObjectName(QStringLiteral("RecordList"));
  paramList_->setObjectName(QStringLiteral("ParamList"));
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(Group(QStringLiteral(" Список аварий "), recordList_));
  splitter->addWidget(Group(QStringLiteral(" Расшифровка контекста авариии "), paramList_));
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);
  connect(recordList_, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int previous, int) {
            if (row != previous && row >= 0) RecordListSelectItem(row);
          });
}

void TAlarmPage::Reload() {
  recordList_->setCurrentCell(-1, -1);
  paramList_->setRowCount(0);
  Fill(recordList_, log_.Records());
  AutoSize(recordList_, 0, 100000);
  if (recordList_->rowCount() > 0) recordList_->selectRow(0);
}

void TAlarmPage::RecordListSelectItem(int row) {
  paramList_->setRowCount(0);
  Fill(paramList_, log_.Context(row));
  AutoSize(paramList_, 50, 1000);
}

}  // namespace kalmet::shell
