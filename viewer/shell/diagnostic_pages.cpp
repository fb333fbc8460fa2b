#include "diagnostic_pages.h"

namespace kalmet::shell {

TDiagnosticModel::TDiagnosticModel(QStringList captions, int columns, QObject* parent)
    : QAbstractTableModel(parent), captions_(std::move(captions)), columns_(columns) {}

void TDiagnosticModel::Fill(int count, TRow row) {
  beginResetModel();
  count_ = row ? count : 0;
  row_ = std::move(row);
  endResetModel();
}

int TDiagnosticModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : count_;
}

int TDiagnosticModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_;
}

QVariant TDiagnosticModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole || !row_ || index.column() >= 6) return {};
  return QString::fromStdString(row_(index.row())[static_cast<size_t>(index.column())]);
}

QVariant TDiagnosticModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section;
  return section < captions_.size() ? captions_[section] : QString();
}

}  // namespace kalmet::shell
