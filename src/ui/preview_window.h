#pragma once
// The preview window: a retrieved message in a read-only text area, closed with OK. A first
// shell.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TForm4 : public QDialog {
 public:
  TForm4();

  QPlainTextEdit* Memo1;
  QPushButton* BitBtn1;  // OK
};
