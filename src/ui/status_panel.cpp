#include "ui/status_panel.h"

#include <QLabel>

#include "ui/control_look.h"

TForm3::TForm3() : Panel1(new QLabel(this)) {
  setObjectName(QStringLiteral("Form3"));
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  setFixedSize(293, 106);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(0, 0, 293, 106);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setAlignment(Qt::AlignCenter);
  QFont font = DesignFont();
  font.setBold(true);
  font.setPixelSize(13);
  Panel1->setFont(font);
}
