// The trace page: the trace journal, newest first, each line with its values below it.
#pragma once

#include <QAbstractItemModel>
#include <QWidget>

class QTreeView;

namespace kalmet {
class SessionContext;
}

namespace kalmet::shell {

// Reads slTrasser from its last entry to its first; values hang below their line.
class TTraceModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  explicit TTraceModel(const SessionContext& ctx, QObject* parent = nullptr);
  // Shows the list as it is now (count taken at this moment).
  void Fill();
  void Clear();

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  const SessionContext& ctx_;
  int count_ = 0;
};

class TFrameTrace : public QWidget {
  Q_OBJECT

 public:
  explicit TFrameTrace(const SessionContext& ctx, QWidget* parent = nullptr);
  void Fill();
  void Clear();
  QTreeView* Tree() const { return tree_; }
  const TTraceModel& Model() const { return *model_; }

 private:
  TTraceModel* model_;
  QTreeView* tree_;
};

}  // namespace kalmet::shell
