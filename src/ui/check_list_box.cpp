// SPDX-License-Identifier: MIT
#include "ui/check_list_box.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

#include "ui/list_selection.h"

namespace {

constexpr int kEnabledRole = Qt::UserRole;
constexpr int kCheckBoxSize = 13;
constexpr int kTextIndent = 2;
// The colour of a selected disabled row's text: Windows' inactive caption text, readable on the
// selection's blue.
const QColor kInactiveCaptionText{0xD4, 0xD0, 0xC8};

const QStyle* StyleOf(const QStyleOptionViewItem& option) {
  return option.widget ? option.widget->style() : QApplication::style();
}

// The check box picture centred in the row's check area, then the text.
class CheckListDelegate : public QAbstractItemDelegate {
 public:
  using QAbstractItemDelegate::QAbstractItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool enabled = index.data(kEnabledRole).toBool();
    const bool selected = option.state & QStyle::State_Selected;
    DrawCheckBox(painter, option, static_cast<Qt::CheckState>(index.data(Qt::CheckStateRole).toInt()), enabled);
    const QRect textArea = option.rect.adjusted(CheckListBox::kCheckAreaWidth, 0, 0, 0);
    if (selected) painter->fillRect(textArea, option.palette.brush(QPalette::Highlight));
    QColor colour = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    if (!enabled) colour = selected ? kInactiveCaptionText : option.palette.color(QPalette::Disabled, QPalette::Text);
    painter->save();
    painter->setPen(colour);
    painter->drawText(textArea.adjusted(kTextIndent, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
    if (option.state & QStyle::State_HasFocus) DrawFocus(painter, option, textArea);
  }

  // As high as the font's line, never below the check box.
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int height = std::max(option.fontMetrics.height(), CheckListBox::kMinimumItemHeight);
    return {CheckListBox::kCheckAreaWidth + kTextIndent +
                option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()),
            height};
  }

 private:
  static void DrawCheckBox(QPainter* painter, const QStyleOptionViewItem& option, Qt::CheckState state,
                           bool enabled) {
    QStyleOptionButton box;
    box.rect = QRect(option.rect.left() + (CheckListBox::kCheckAreaWidth - kCheckBoxSize) / 2,
                     option.rect.top() + (option.rect.height() - kCheckBoxSize) / 2, kCheckBoxSize, kCheckBoxSize);
    box.palette = option.palette;
    box.state = state == Qt::Checked ? QStyle::State_On
                : state == Qt::PartiallyChecked ? QStyle::State_NoChange
                                                : QStyle::State_Off;
    if (enabled) box.state |= QStyle::State_Enabled;
    StyleOf(option)->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, option.widget);
  }

  static void DrawFocus(QPainter* painter, const QStyleOptionViewItem& option, const QRect& area) {
    QStyleOptionFocusRect focus;
    focus.rect = area;
    focus.palette = option.palette;
    focus.state = option.state;
    focus.backgroundColor = option.palette.color(QPalette::Highlight);
    StyleOf(option)->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
  }
};

}  // namespace

CheckListBox::CheckListBox(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new CheckListDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setUniformItemSizes(true);
}

void CheckListBox::AddItem(const QString& text, Qt::CheckState state, bool enabled) {
  auto* item = new QListWidgetItem(text, this);
  // The check box is ours to toggle: the view's own checkable-item handling stays out.
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  item->setData(Qt::CheckStateRole, state);
  item->setData(kEnabledRole, enabled);
}

Qt::CheckState CheckListBox::State(int row) const {
  return static_cast<Qt::CheckState>(item(row)->data(Qt::CheckStateRole).toInt());
}

bool CheckListBox::ItemEnabled(int row) const { return item(row)->data(kEnabledRole).toBool(); }

// The press selects the row as on any list; inside the check area it also toggles.
void CheckListBox::mousePressEvent(QMouseEvent* event) {
  QListWidget::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) ToggleAt(event->position().toPoint());
}

// The second press of a double click toggles again, as a second single press would.
void CheckListBox::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CheckListBox::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
      if (const int row = SelectedRow(*this); row >= 0) ToggleClickCheck(row);
      return;
    case Qt::Key_Plus:
      SetEnabledItems(Qt::Checked);
      return;
    case Qt::Key_Minus:
      SetEnabledItems(Qt::Unchecked);
      return;
    default:
      QListWidget::keyPressEvent(event);
  }
}

void CheckListBox::ToggleAt(const QPoint& position) {
  const QModelIndex index = indexAt(position);
  if (index.isValid() && position.x() - visualRect(index).left() < kCheckAreaWidth) ToggleClickCheck(index.row());
}

// Grayed counts as not checked: a toggle checks it.
void CheckListBox::ToggleClickCheck(int row) {
  if (!ItemEnabled(row)) return;
  SetUserState(row, State(row) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void CheckListBox::SetEnabledItems(Qt::CheckState state) {
  for (int row = 0; row < count(); ++row)
    if (ItemEnabled(row)) SetUserState(row, state);
}

void CheckListBox::SetUserState(int row, Qt::CheckState state) {
  if (State(row) == state) return;
  item(row)->setData(Qt::CheckStateRole, state);
  if (OnClickCheck) OnClickCheck(row);
}
