#include "journal_model.h"

#include <algorithm>

namespace kalmet::shell {
namespace {

// internalId of a top-level index is 0; a value row's is its parent's row + 1.
constexpr quintptr kTop = 0;

}  // namespace

TJournalModel::TJournalModel(QObject* parent) : QAbstractItemModel(parent) {}

void TJournalModel::Clear() {
  beginResetModel();
  rows_.Clear();
  childCounts_.clear();
  cleared_ = true;
  endResetModel();
}

void TJournalModel::Build(const SessionContext& ctx, TJournalMode mode, TJournalOrder order,
                          std::string_view lower, std::string_view upper) {
  beginResetModel();
  rows_.Build(ctx, mode, order, lower, upper);
  childCounts_.resize(static_cast<size_t>(rows_.Count()));
  for (int i = 0; i < rows_.Count(); ++i) {
    childCounts_[static_cast<size_t>(i)] =
        static_cast<uint16_t>(std::min(rows_.ChildCount(i), 0xFFFF));
  }
  cleared_ = false;
  endResetModel();
}

int TJournalModel::TopRow(const QModelIndex& index) {
  if (!index.isValid()) return -1;
  return index.internalId() == kTop ? index.row() : static_cast<int>(index.internalId() - 1);
}

QColor TJournalModel::RecordColor(uint32_t color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

QModelIndex TJournalModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= columnCount()) return {};
  if (!parent.isValid()) {
    return row < rows_.Count() ? createIndex(row, column, kTop) : QModelIndex();
  }
  if (parent.internalId() != kTop || row >= ChildCount(parent.row())) return {};
  return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex TJournalModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kTop) return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, kTop);
}

int TJournalModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return rows_.Count();
  if (parent.internalId() != kTop || parent.column() != 0) return 0;
  return ChildCount(parent.row());
}

bool TJournalModel::hasChildren(const QModelIndex& parent) const {
  return rowCount(parent) > 0;
}

int TJournalModel::columnCount(const QModelIndex&) const {
  return cleared_ ? 1 : static_cast<int>(rows_.Columns().size());
}

QVariant TJournalModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int top = TopRow(index);
  const TEventData* record = rows_.Record(top);
  if (!record) return {};
  const bool value = index.internalId() != kTop;
  const bool sample = !value && rows_.IsSample(top);
  switch (role) {
    case Qt::DisplayRole:
      if (value) {
        return index.column() == 1 ? QString::fromStdString(rows_.ChildText(top, index.row()))
                                   : QString();
      }
      if (!sample && index.column() >= 1) {
        return index.column() == 1 ? QString::fromStdString(record->Name) : QString();
      }
      return QString::fromStdString(rows_.Cell(top, index.column()));
    case KindRole:
      return value ? kValue : sample ? kSample : kEvent;
    case ColorRole:
      return RecordColor(record->Color);
    default:
      return {};
  }
}

QVariant TJournalModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (cleared_) return section == 0 ? QStringLiteral(" Время") : QVariant();
  const auto& columns = rows_.Columns();
  if (section < 0 || section >= static_cast<int>(columns.size())) return {};
  return QString::fromStdString(columns[static_cast<size_t>(section)].caption);
}

Qt::ItemFlags TJournalModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  // Lets the tree skip rows without values when it expands everything.
  if (index.internalId() != kTop || ChildCount(index.row()) == 0) {
    f |= Qt::ItemNeverHasChildren;
  }
  return f;
}

}  // namespace kalmet::shell
