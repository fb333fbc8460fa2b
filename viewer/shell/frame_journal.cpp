#include "frame_journal.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "session/delphi_text.h"
#include "session/session_context.h"

namespace kalmet::shell {
namespace {

QRadioButton* ModeButton(const QString& caption, const QString& hint, const QColor& colour,
                         QWidget* parent) {
  auto* b = new QRadioButton(caption, parent);
  b->setToolTip(hint);
  if (colour.isValid()) {
    QPalette p = b->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::ButtonText, colour);
    b->setPalette(p);
  }
  return b;
}

QToolButton* ToolButton(QStyle::StandardPixmap icon, const QString& hint, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setIcon(parent->style()->standardIcon(icon));
  b->setToolTip(hint);
  b->setAutoRaise(true);
  return b;
}

}  // namespace

const QColor TFrameJournal::kBackground(218, 218, 218);

TJournalDelegate::TJournalDelegate(QTreeView* tree) : QStyledItemDelegate(tree), tree_(tree) {}

QSize TJournalDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  size.setHeight(std::max(size.height(), option.fontMetrics.height() + 4));
  return size;
}

void TJournalDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const int kind = index.data(TJournalModel::KindRole).toInt();
  const int column = index.column();
  if (kind == TJournalModel::kValue && column == 0) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette::ColorGroup group =
      option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
  QString text;
  QColor colour;
  QRect rect = option.rect;
  if (column == 0 || kind == TJournalModel::kSample) {
    text = index.data().toString();
    colour = option.palette.color(group, QPalette::Text);
  } else {
    // The name (or the value line) spans every column after the time: each cell draws
    // its share of the text laid out from the time column's right edge.
    text = index.siblingAtColumn(1).data().toString();
    if (kind == TJournalModel::kValue) text = QStringLiteral("       ") + text;
    colour = index.data(TJournalModel::ColorRole).value<QColor>();
    const QHeaderView* header = tree_->header();
    const int left = header->sectionViewportPosition(0) + header->sectionSize(0);
    const int right = header->length() - header->offset();
    rect = QRect(left, option.rect.top(), std::max(0, right - left), option.rect.height());
  }
  if (selected) colour = option.palette.color(group, QPalette::HighlightedText);
  painter->save();
  painter->setClipRect(option.rect);
  painter->fillRect(option.rect, selected ? option.palette.brush(group, QPalette::Highlight)
                                          : tree_->palette().brush(QPalette::Base));
  painter->setPen(colour);
  painter->setFont(option.font);
  painter->drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    text);
  painter->restore();
}

TFrameJournal::TFrameJournal(const SessionContext& ctx, QWidget* parent)
    : QWidget(parent), ctx_(ctx), model_(new TJournalModel(this)), tree_(new QTreeView(this)) {
  auto* bar = new QHBoxLayout;
  bar->setContentsMargins(4, 2, 4, 2);
  rbJournalAll_ = ModeButton(QStringLiteral("Показывать все"), {}, {}, this);
  rbJournalEvents_ = ModeButton(QStringLiteral("Только события"),
                                QStringLiteral("Показать только события"), Qt::blue, this);
  rbJournalStop_ = ModeButton(QStringLiteral("Остановы"),
                              QStringLiteral("Показать только остановы двигателя"), Qt::red, this);
  rbJournalAll_->setChecked(true);
  auto* modes = new QButtonGroup(this);
  for (QRadioButton* b : {rbJournalAll_, rbJournalEvents_, rbJournalStop_}) {
    modes->addButton(b);
    bar->addWidget(b);
  }
  connect(modes, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool checked) {
    if (checked) Refill();
  });
  bar->addSpacing(16);
  btFullCollapse_ = ToolButton(QStyle::SP_ArrowUp, QStringLiteral("Свернуть все"), this);
  btFullExpand_ = ToolButton(QStyle::SP_ArrowDown, QStringLiteral("Развернуть все"), this);
  connect(btFullCollapse_, &QToolButton::clicked, tree_, &QTreeView::collapseAll);
  connect(btFullExpand_, &QToolButton::clicked, tree_, &QTreeView::expandAll);
  bar->addWidget(btFullCollapse_);
  bar->addWidget(btFullExpand_);
  bar->addStretch();

  tree_->setModel(model_);
  tree_->setItemDelegate(new TJournalDelegate(tree_));
  tree_->setUniformRowHeights(true);
  tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->setAllColumnsShowFocus(true);
  tree_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  tree_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  QPalette p = tree_->palette();
  p.setColor(QPalette::Base, kBackground);
  tree_->setPalette(p);
  QHeaderView* header = tree_->header();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  header->setSortIndicator(0, Qt::AscendingOrder);
  connect(header, &QHeaderView::sectionClicked, this, [this](int section) {
    if (section == 0) {
      ToggleOrder();
    } else {
      // Only the time column orders the rows; put its mark back.
      ApplyColumns();
    }
  });
  // The names span the columns, so a horizontal scroll repaints the whole tree.
  connect(tree_->horizontalScrollBar(), &QScrollBar::valueChanged, tree_->viewport(),
          qOverload<>(&QWidget::update));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(bar);
  layout->addWidget(tree_);
}

void TFrameJournal::SetFragment(const std::string& lower, const std::string& upper) {
  lower_ = std::string(Trim(lower));
  upper_ = std::string(Trim(upper));
}

TJournalMode TFrameJournal::Mode() const {
  if (rbJournalEvents_->isChecked()) return TJournalMode::kEvents;
  if (rbJournalStop_->isChecked()) return TJournalMode::kStops;
  return TJournalMode::kAll;
}

void TFrameJournal::SetMode(TJournalMode mode) {
  QRadioButton* b = mode == TJournalMode::kEvents  ? rbJournalEvents_
                    : mode == TJournalMode::kStops ? rbJournalStop_
                                                   : rbJournalAll_;
  b->setChecked(true);
}

void TFrameJournal::ToggleOrder() {
  order_ = order_ == TJournalOrder::kNewestFirst ? TJournalOrder::kOldestFirst
                                                 : TJournalOrder::kNewestFirst;
  Refill();
}

int TFrameJournal::FocusedRow() const {
  return TJournalModel::TopRow(tree_->currentIndex());
}

void TFrameJournal::ClearTree() {
  model_->Clear();
  ApplyColumns();
}

void TFrameJournal::ApplyColumns() {
  QHeaderView* header = tree_->header();
  if (!model_->Cleared()) {
    const auto& columns = model_->Rows().Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
      header->resizeSection(static_cast<int>(i), columns[i].width);
    }
  } else {
    header->resizeSection(0, 150);
  }
  // Newest first shows the mark pointing down; Qt draws that mark for its ascending order.
  header->setSortIndicator(
      0, order_ == TJournalOrder::kNewestFirst ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TFrameJournal::Refill() {
  std::string key;
  uint32_t code = 0;
  bool remembered = false;
  if (model_->Rows().Count() > 0) {
    if (const TEventData* r = model_->Rows().Record(FocusedRow())) {
      key = r->Key;
      code = r->Code;
      remembered = true;
    }
    ClearTree();
  }
  model_->Build(ctx_, Mode(), order_, lower_, upper_);
  // Events with values are shown expanded (one layout of the tree for all rows).
  tree_->expandAll();
  ApplyColumns();
  tree_->show();
  tree_->setFocus();
  const int found = remembered ? model_->Rows().SeekNode(key, code) : -1;
  FocusRow(found >= 0 ? found : 0, found >= 0);
}

void TFrameJournal::FocusRow(int row, bool fiveAbove) {
  const QModelIndex index = model_->index(row, 0);
  if (!index.isValid()) return;
  tree_->setCurrentIndex(index);
  if (fiveAbove) {
    tree_->scrollTo(index, QAbstractItemView::PositionAtTop);
    QScrollBar* bar = tree_->verticalScrollBar();
    bar->setValue(bar->value() - 5);
  } else {
    tree_->scrollTo(index);
  }
}

}  // namespace kalmet::shell
