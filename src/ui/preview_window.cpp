#include "ui/preview_window.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/control_look.h"

TForm4::TForm4() : Memo1(new QPlainTextEdit(this)), BitBtn1(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("Message Preview"));
  setFont(DesignFont());
  setGeometry(189, 107, 436, 459);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setGeometry(10, 8, 405, 377);
  Memo1->setReadOnly(true);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(176, 396, 75, 25);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}
