// SPDX-License-Identifier: MIT
#include "ui/preview_window.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "ui/accessible_texts.h"
#include "ui/control_look.h"
#include "ui/modal_owner.h"

namespace {

// The frame's outer size is 436 x 459; this is what lies inside a usual frame.
constexpr QSize kClientSize{428, 432};
constexpr QPoint kScreenPosition{189, 107};

QFrame* AddBevel(QWidget* window, const char* name, const QRect& geometry) {
  auto* bevel = new QFrame(window);
  bevel->setObjectName(QString::fromLatin1(name));
  bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
  bevel->setGeometry(geometry);
  return bevel;
}

}  // namespace

PreviewWindow::PreviewWindow()
    : textBevel(AddBevel(this, "textBevel", {4, 3, 417, 389})),
      buttonBevel(AddBevel(this, "buttonBevel", {4, 390, 417, 38})),
      messageText(new QPlainTextEdit(this)),
      okButton(new QPushButton(tr("OK"), this)) {
  setObjectName(QStringLiteral("previewWindow"));
  setWindowTitle(tr("Message Preview"));
  setFont(DesignFont());
  resize(kClientSize);
  move(kScreenPosition);

  messageText->setObjectName(QStringLiteral("messageText"));
  messageText->setGeometry(10, 8, 405, 377);
  messageText->setReadOnly(true);
  messageText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  messageText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  messageText->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  messageText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont memoFont = DesignFont();
  memoFont.setBold(true);
  memoFont.setPixelSize(13);
  messageText->setFont(memoFont);

  okButton->setObjectName(QStringLiteral("okButton"));
  okButton->setGeometry(176, 396, 75, 25);
  UseStandardGlyph(okButton, QStyle::SP_DialogOkButton);
  okButton->setDefault(true);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  DescribePreviewWindow(*this);
}

QString PreviewLines(const QString& text) {
  QStringList lines = text.split(QStringLiteral("\r\n"));
  for (QString& line : lines) line.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
  return lines.join(QLatin1Char('\n'));
}

void PreviewWindow::ShowPreview(const QString& text) {
  messageText->setPlainText(PreviewLines(text));
  MakeModalToFront(*this);
  exec();
}
