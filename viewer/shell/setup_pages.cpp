#include "setup_pages.h"

#include <QHeaderView>
#include <QPainter>
#include <QTableView>

#include "dictionaries/setup_collection.h"

namespace kalmet::shell {

TSetupGridModel::TSetupGridModel(int slot, QObject* parent)
    : QAbstractTableModel(parent), slot_(slot) {}

const TSetup* TSetupGridModel::Page() const {
  if (!setups_ || slot_ == 0) return nullptr;
  for (int i = 0; i < setups_->PageCount(); ++i) {
    const TSetup* page = setups_->Page(i);
    if (page && page->Slot() == slot_) return page;
  }
  return nullptr;
}

void TSetupGridModel::Reload() {
  beginResetModel();
  endResetModel();
}

int TSetupGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  const TSetup* page = Page();
  // A grid always has its header and at least one (empty) row.
  return page && !page->Grid().empty() ? static_cast<int>(page->Grid().size()) : 1;
}

int TSetupGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2;
}

QVariant TSetupGridModel::data(const QModelIndex& index, int role) const {
  const TSetup* page = Page();
  if (!page || !index.isValid() || index.row() >= static_cast<int>(page->Grid().size())) {
    return {};
  }
  const TSetupGridRow& row = page->Grid()[static_cast<size_t>(index.row())];
  if (role == Qt::DisplayRole) {
    return QString::fromStdString(index.column() == 0 ? row.Name : row.Value);
  }
  if (role == MarkerRole) return row.Marker;
  return {};
}

QVariant TSetupGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return QString::fromUtf8(section == 0 ? TSetup::kNameHeader : TSetup::kValueHeader);
}

void TSetupGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  const bool heading = index.data(TSetupGridModel::MarkerRole).toInt() == 1;
  const QString text = index.data().toString();
  painter->save();
  painter->setClipRect(option.rect);
  painter->fillRect(option.rect, selected ? option.palette.brush(QPalette::Highlight)
                                          : option.palette.brush(QPalette::Base));
  QFont font = option.font;
  QColor colour = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
  int left = option.rect.left() + 2;
  if (heading && index.column() == 0) {
    font.setBold(true);
    colour = selected ? QColor(Qt::white) : QColor(Qt::blue);
    const int free = option.rect.width() - QFontMetrics(font).horizontalAdvance(text);
    left += free / 2;
  }
  painter->setFont(font);
  painter->setPen(colour);
  painter->drawText(
      QRect(left, option.rect.top() + 2, option.rect.right() - left, option.rect.height() - 2),
      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  painter->restore();
}

TSetupPages::TSetupPages(QWidget* parent) : QTabWidget(parent) {
  for (int slot = 0; slot < kSlots; ++slot) {
    auto* model = new TSetupGridModel(slot, this);
    auto* grid = new QTableView(this);
    grid->setModel(model);
    grid->setItemDelegate(new TSetupGridDelegate(grid));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->horizontalHeader()->resizeSection(0, 627);
    grid->horizontalHeader()->resizeSection(1, 98);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Long values (times, texts) get the room the window has beyond the 98 pixels.
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setObjectName(slot == 0 ? QStringLiteral("grSetupProtect")
                                  : QStringLiteral("StringGrid%1").arg(slot));
    models_[static_cast<size_t>(slot)] = model;
    grids_[static_cast<size_t>(slot)] = grid;
    addTab(grid, QString::number(slot));
    setTabVisible(slot, slot == 0);
  }
  connect(this, &QTabWidget::currentChanged, this, [this] { pcSetupsChange(); });
}

void TSetupPages::SetCollection(const TSetupCollection* setups) {
  setups_ = setups;
  for (TSetupGridModel* m : models_) m->SetCollection(setups);
  Reload();
}

void TSetupPages::Reload() {
  std::array<bool, kSlots> used{};
  if (setups_) {
    for (int i = 0; i < setups_->PageCount(); ++i) {
      const TSetup* page = setups_->Page(i);
      if (!page || page->Slot() < 1 || page->Slot() >= kSlots) continue;
      used[static_cast<size_t>(page->Slot())] = true;
      setTabText(page->Slot(), QString::fromStdString(page->Title()));
    }
  }
  const bool placeholder = !setups_ || setups_->PlaceholderVisible();
  used[0] = placeholder;
  for (int slot = 0; slot < kSlots; ++slot) {
    models_[static_cast<size_t>(slot)]->Reload();
    setTabVisible(slot, used[static_cast<size_t>(slot)]);
  }
  if (!isTabVisible(currentIndex())) {
    for (int slot = 0; slot < kSlots; ++slot) {
      if (used[static_cast<size_t>(slot)]) {
        setCurrentIndex(slot);
        break;
      }
    }
  }
}

QTableView* TSetupPages::ActiveGrid() const {
  const int i = currentIndex();
  return i >= 0 && i < kSlots ? grids_[static_cast<size_t>(i)] : nullptr;
}

void TSetupPages::pcSetupsChange() {
  if (QTableView* grid = ActiveGrid(); grid && isVisible()) grid->setFocus();
}

}  // namespace kalmet::shell
