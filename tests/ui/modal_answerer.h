// SPDX-License-Identifier: MIT
#pragma once
// Answers the modal windows that the program opens, as a user would: records what each one
// showed, runs the test's check while it is open, then closes it.

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <vector>

struct SeenModal {
  QString title;
  QString text;  // a message box's text
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList lines;  // the list of the Messages window
};

class ModalAnswerer : public QObject {
 public:
  ModalAnswerer() { qApp->installEventFilter(this); }
  ~ModalAnswerer() override { qApp->removeEventFilter(this); }

  std::vector<SeenModal> seen;
  std::function<void(QDialog*)> whileOpen;  // runs before the window is closed

  QStringList Texts() const {
    QStringList texts;
    for (const SeenModal& modal : seen) texts << modal.text;
    return texts;
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* dialog = qobject_cast<QDialog*>(object);
    if (event->type() != QEvent::Show || !dialog || !dialog->isModal()) return false;
    SeenModal modal{dialog->windowTitle(), {}, QMessageBox::NoIcon, {}};
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
      modal.text = box->text();
      modal.icon = box->icon();
    }
    if (auto* list = dialog->findChild<QListWidget*>(QStringLiteral("senders")))
      for (int i = 0; i < list->count(); ++i) modal.lines << list->item(i)->text();
    seen.push_back(modal);
    // Closed from the event loop that the window's exec runs, once it is fully shown.
    QTimer::singleShot(0, dialog, [this, dialog] {
      if (whileOpen) whileOpen(dialog);
      dialog->reject();
    });
    return false;
  }
};
