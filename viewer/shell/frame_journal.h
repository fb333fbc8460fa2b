// The journal page: a tool bar choosing the rows (all, events only, stops only) and
// collapsing or expanding them, and the tree of journal rows. A click on the time
// column's header reverses the order.
#pragma once

#include <QStyledItemDelegate>
#include <QWidget>
#include <string>

#include "journal_model.h"

class QRadioButton;
class QToolButton;
class QTreeView;

namespace kalmet {
class SessionContext;
}

namespace kalmet::shell {

// Draws the journal rows: an event's name in its colour across every column after the
// time, value rows indented by seven blanks in the parent's colour, time and sample
// cells in the tree's text colour.
class TJournalDelegate : public QStyledItemDelegate {
 public:
  explicit TJournalDelegate(QTreeView* tree);
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  QTreeView* tree_;
};

class TFrameJournal : public QWidget {
  Q_OBJECT

 public:
  // The tree's background: RGB(218, 218, 218).
  static const QColor kBackground;

  explicit TFrameJournal(const SessionContext& ctx, QWidget* parent = nullptr);

  // The key bounds of the rows shown, trimmed; empty is open.
  void SetFragment(const std::string& lower, const std::string& upper);
  void ClearTree();
  // Rebuilds the rows for the mode and order and keeps the focused event when it is
  // still shown.
  void Refill();

  TJournalMode Mode() const;
  void SetMode(TJournalMode mode);  // checks the radio button, which refills
  TJournalOrder Order() const { return order_; }
  // The time column's header click: reverses the order and refills.
  void ToggleOrder();

  QTreeView* Tree() const { return tree_; }
  const TJournalModel& Model() const { return *model_; }
  // The record row (top-level) of the current index, or -1.
  int FocusedRow() const;

 private:
  void ApplyColumns();
  void FocusRow(int row, bool fiveAbove);

  const SessionContext& ctx_;
  TJournalModel* model_;
  QTreeView* tree_;
  QRadioButton* rbJournalAll_;
  QRadioButton* rbJournalEvents_;
  QRadioButton* rbJournalStop_;
  QToolButton* btFullCollapse_;
  QToolButton* btFullExpand_;
  std::string lower_;
  std::string upper_;
  TJournalOrder order_ = TJournalOrder::kNewestFirst;
};

}  // namespace kalmet::shell
