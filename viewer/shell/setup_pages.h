// The setups page: thirteen tab slots, the placeholder "0" shown alone while no setup
// file is loaded and "1" to "12" taking the setup pages in order, each a two-column grid
// of names and values with heading rows.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <array>

class QTableView;

namespace kalmet {
class TSetupCollection;
class TSetup;
}  // namespace kalmet

namespace kalmet::shell {

// The grid of one tab slot. The page is looked up by its slot on every read, so that a
// page freed while the collection rebuilds is never touched.
class TSetupGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Role { MarkerRole = Qt::UserRole + 1 };

  TSetupGridModel(int slot, QObject* parent = nullptr);
  void SetCollection(const TSetupCollection* setups) { setups_ = setups; }
  void Reload();
  const TSetup* Page() const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  const TSetupCollection* setups_ = nullptr;
  int slot_;
};

// Heading rows: bold, centred, blue (white when selected); other cells at 2 pixels from
// the cell's left and top edges.
class TSetupGridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

class TSetupPages : public QTabWidget {
  Q_OBJECT

 public:
  static constexpr int kSlots = 13;

  explicit TSetupPages(QWidget* parent = nullptr);
  void SetCollection(const TSetupCollection* setups);
  // Shows the tabs of the collection's pages (or the placeholder) and their grids.
  void Reload();

  QTableView* Grid(int slot) const { return grids_[static_cast<size_t>(slot)]; }
  const TSetupGridModel& GridModel(int slot) const { return *models_[static_cast<size_t>(slot)]; }
  // The grid of the active tab.
  QTableView* ActiveGrid() const;
  // Focuses the active tab's grid.
  void pcSetupsChange();

 private:
  const TSetupCollection* setups_ = nullptr;
  std::array<QTableView*, kSlots> grids_{};
  std::array<TSetupGridModel*, kSlots> models_{};
};

}  // namespace kalmet::shell
