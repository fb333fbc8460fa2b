// The journal tree's model: reads the engine's journal rows when the view asks, so that
// a million rows cost the view nothing at fill time. Top-level rows are the rows of
// TJournalRows; an event's value rows hang below it.
#pragma once

#include <QAbstractItemModel>
#include <QColor>

#include "journal/journal_rows.h"

namespace kalmet::shell {

class TJournalModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Role {
    KindRole = Qt::UserRole + 1,  // a TRowKind
    ColorRole,                    // an event's colour, or its parent's for a value row
  };
  enum TRowKind { kEvent, kValue, kSample };

  explicit TJournalModel(QObject* parent = nullptr);

  // The rows are rebuilt by the caller between BeginReset and EndReset.
  TJournalRows& Rows() { return rows_; }
  const TJournalRows& Rows() const { return rows_; }
  void BeginReset() { beginResetModel(); }
  void EndReset() { endResetModel(); }
  // No rows, and only the time column (the others are hidden while cleared).
  void Clear();
  bool Cleared() const { return cleared_; }
  void SetCleared(bool cleared) { cleared_ = cleared; }

  // The top-level row of an index (itself or its parent), or -1.
  static int TopRow(const QModelIndex& index);
  static QColor RecordColor(uint32_t color);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  TJournalRows rows_;
  bool cleared_ = true;
};

}  // namespace kalmet::shell
