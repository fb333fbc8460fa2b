#include "frame_trace.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

#include "journal/journal_rows.h"
#include "session/session_context.h"

namespace kalmet::shell {
namespace {

constexpr quintptr kTop = 0;

// Cells with grid lines.
class TGridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(option.palette.color(QPalette::Mid));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
  }
};

}  // namespace

TTraceModel::TTraceModel(const SessionContext& ctx, QObject* parent)
    : QAbstractItemModel(parent), ctx_(ctx) {}

void TTraceModel::Fill() {
  beginResetModel();
  count_ = ctx_.slTrasser.Count();
  endResetModel();
}

void TTraceModel::Clear() {
  beginResetModel();
  count_ = 0;
  endResetModel();
}

// Row r shows entry count - 1 - r. internalId: 0 for a line, line row + 1 for a value.
QModelIndex TTraceModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= 3) return {};
  if (!parent.isValid()) return row < count_ ? createIndex(row, column, kTop) : QModelIndex();
  if (parent.internalId() != kTop || row >= rowCount(parent)) return {};
  return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex TTraceModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kTop) return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, kTop);
}

int TTraceModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return count_;
  if (parent.internalId() != kTop || parent.column() != 0) return 0;
  const TEventData* e = ctx_.slTrasser.Object(count_ - 1 - parent.row());
  return e && e->ExData ? e->ExData->Count() : 0;
}

int TTraceModel::columnCount(const QModelIndex&) const {
  return 3;
}

QVariant TTraceModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const bool value = index.internalId() != kTop;
  const int line = value ? static_cast<int>(index.internalId() - 1) : index.row();
  const TEventData* e = ctx_.slTrasser.Object(count_ - 1 - line);
  if (!e) return {};
  if (!value) {
    if (index.column() == 0) return QString::fromStdString(JournalTimeText(e->DateTime));
    if (index.column() == 1) return QString::fromStdString(e->Name);
    return {};
  }
  const TExData* ex = e->ExData ? e->ExData->Object(index.row()) : nullptr;
  if (!ex) return {};
  if (index.column() == 1) return QString::fromStdString(ex->Name);
  if (index.column() == 2) return QString::fromStdString(ex->Text);
  return {};
}

QVariant TTraceModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section == 0) return QStringLiteral("Время");
  if (section == 1) return QStringLiteral("Событие");
  return QString();
}

TFrameTrace::TFrameTrace(const SessionContext& ctx, QWidget* parent)
    : QWidget(parent), model_(new TTraceModel(ctx, this)), tree_(new QTreeView(this)) {
  tree_->setModel(model_);
  tree_->setItemDelegate(new TGridDelegate(tree_));
  tree_->setUniformRowHeights(true);
  tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->setAllColumnsShowFocus(true);
  QPalette p = tree_->palette();
  p.setColor(QPalette::Base, p.color(QPalette::Button));
  tree_->setPalette(p);
  // The time text has its 150 pixels beside the tree's indentation.
  tree_->header()->resizeSection(0, 150 + tree_->indentation());
  tree_->header()->resizeSection(1, 418);
  tree_->header()->setStretchLastSection(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tree_);
}

void TFrameTrace::Fill() {
  model_->Fill();
  tree_->expandAll();
}

void TFrameTrace::Clear() {
  model_->Clear();
}

}  // namespace kalmet::shell
