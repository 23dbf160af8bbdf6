#pragma once
// The Messages window: the sender list of the last mailbox scan, shown modally. A first shell;
// the dates, subjects, sizes, Delete and Preview come with the window's own work.

#include <QDialog>

#include "session/message_list.h"

class QListWidget;
class QPushButton;

class TForm2 : public QDialog {
 public:
  TForm2();

  // The senders and status lines of `messages`, each with its check box.
  void ShowMessages(const MessageList& messages);

  QListWidget* ListBox1;
  QPushButton* BitBtn2;  // OK
};
