#pragma once
// The status panel: a borderless box in the middle of the screen with one line of large bold
// text while a request of the Messages window runs. A first shell.

#include <QWidget>

class QLabel;

class TForm3 : public QWidget {
 public:
  TForm3();

  QLabel* Panel1;
};
