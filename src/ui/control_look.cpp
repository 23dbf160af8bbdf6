// SPDX-License-Identifier: MIT
#include "ui/control_look.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

namespace {

class StarPasswordStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

class TabHoverStyle : public QProxyStyle {
 public:
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    QProxyStyle::drawControl(element, option, painter, widget);
    const bool lit = element == CE_TabBarTabShape && (option->state & State_MouseOver) &&
                     !(option->state & State_Selected) && (option->state & State_Enabled);
    if (!lit) return;
    QColor light = option->palette.color(QPalette::Highlight);
    light.setAlpha(48);
    painter->fillRect(option->rect.adjusted(2, 2, -2, 0), light);
  }
};

}  // namespace

// The layouts are in fixed pixels drawn for a narrow sans-serif; wide faces would clip their
// captions, so faces with Arial's metrics come first, then the desktop's sans-serif.
QFont DesignFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Sans Serif")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

void UseFieldColours(QWidget* field) {
  QPalette palette = field->palette();
  palette.setColor(QPalette::Disabled, QPalette::Base, kDisabledFieldColour);
  field->setPalette(palette);
}

void ShowPasswordAsStars(QLineEdit* field) {
  // A widget does not own its style; this one is shared and lives as long as the process, so no
  // field can outlive it.
  static StarPasswordStyle* const style = new StarPasswordStyle;
  field->setStyle(style);
  field->setEchoMode(QLineEdit::Password);
}

void HighlightTabsUnderMouse(QTabWidget* tabs) {
  // Shared like the password style, and for the same reason.
  static TabHoverStyle* const style = new TabHoverStyle;
  tabs->tabBar()->setStyle(style);
  tabs->tabBar()->setAttribute(Qt::WA_Hover);
}

void UseStandardGlyph(QAbstractButton* button, QStyle::StandardPixmap glyph) {
  class OnFirstShow : public QObject {
   public:
    OnFirstShow(QAbstractButton* button, QStyle::StandardPixmap glyph) : QObject(button), glyph_(glyph) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Show) {
        auto* button = static_cast<QAbstractButton*>(watched);
        button->setIcon(button->style()->standardIcon(glyph_));
        deleteLater();
      }
      return false;
    }

   private:
    QStyle::StandardPixmap glyph_;
  };
  button->installEventFilter(new OnFirstShow(button, glyph));
}
