#include "ui/messages_window.h"

#include <QListWidget>
#include <QPushButton>

#include "ui/control_look.h"

namespace {

Qt::CheckState QtCheckState(CheckState state) {
  switch (state) {
    case CheckState::Checked: return Qt::Checked;
    case CheckState::Grayed: return Qt::PartiallyChecked;
    case CheckState::Unchecked: break;
  }
  return Qt::Unchecked;
}

}  // namespace

TForm2::TForm2() : ListBox1(new QListWidget(this)), BitBtn2(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Messages"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);  // left through OK only
  setFont(DesignFont());
  setFixedSize(377, 318);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setGeometry(0, 72, 136, 193);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2->setGeometry(31, 280, 75, 25);
  BitBtn2->setDefault(true);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm2::ShowMessages(const MessageList& messages) {
  ListBox1->clear();
  for (const SenderItem& sender : messages.ListBox1) {
    auto* item = new QListWidgetItem(QString::fromUtf8(sender.text), ListBox1);
    item->setCheckState(QtCheckState(sender.state));
    if (!sender.enabled) item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
  }
}
