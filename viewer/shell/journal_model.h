// The journal tree's model: reads the engine's journal rows when the view asks, so that
// a million rows cost the view nothing at fill time. Top-level rows are the rows of
// TJournalRows; an event's value rows hang below it.
#pragma once

#include <QAbstractItemModel>
#include <QColor>
#include <cstdint>
#include <string_view>
#include <vector>

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

  // Rebuilds the rows for the session.
  void Build(const SessionContext& ctx, TJournalMode mode, TJournalOrder order,
             std::string_view lower, std::string_view upper);
  const TJournalRows& Rows() const { return rows_; }
  // No rows, and only the time column (the others are hidden while cleared).
  void Clear();
  bool Cleared() const { return cleared_; }
  // The number of value rows of a row (taken once per build: the tree asks often).
  int ChildCount(int row) const {
    return row >= 0 && row < static_cast<int>(childCounts_.size())
               ? childCounts_[static_cast<size_t>(row)]
               : 0;
  }

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
  std::vector<uint16_t> childCounts_;
  bool cleared_ = true;
};

}  // namespace kalmet::shell
