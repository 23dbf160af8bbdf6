#include "ui/preview_window.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "ui/control_look.h"

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
    : Bevel1(AddBevel(this, "Bevel1", {4, 3, 417, 389})),
      Bevel2(AddBevel(this, "Bevel2", {4, 390, 417, 38})),
      Memo1(new QPlainTextEdit(this)),
      BitBtn1(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("previewWindow"));
  setWindowTitle(QStringLiteral("Message Preview"));
  setFont(DesignFont());
  resize(kClientSize);
  move(kScreenPosition);

  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setGeometry(10, 8, 405, 377);
  Memo1->setReadOnly(true);
  Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont memoFont = DesignFont();
  memoFont.setBold(true);
  memoFont.setPixelSize(13);
  Memo1->setFont(memoFont);

  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(176, 396, 75, 25);
  BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void PreviewWindow::ShowPreview(const QString& text) {
  Memo1->setPlainText(text);
  exec();
}
