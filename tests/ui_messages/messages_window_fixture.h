// SPDX-License-Identifier: MIT
#pragma once
// The program's windows with rows in the Messages window, shown without blocking, and the
// user's clicks on the lists.

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "main_window_fixture.h"
#include "ui/list_selection.h"
#include "ui/text_list_box.h"

struct MessagesWindowTest : MainWindowTest {
  // `count` rows as a scan of the service's page leaves them, Delete and Preview enabled.
  MessageList& Rows() { return form->Session().State.Messages; }
  void SetRows(int count) {
    MessageList& m = Rows();
    m.Clear();
    for (int i = 1; i <= count; ++i) {
      const std::string n = std::to_string(i);
      m.links.push_back("/cgi-bin/getmsg?msg=MSG" + n);
      m.fieldNames.push_back("MSG" + n);
      m.senders.push_back({"Sender " + n});
      m.dates.push_back("Dec " + n);
      m.subjects.push_back("Subject " + n);
      m.sizes.push_back(n + "k");
    }
    form->Session().State.MessageButtonsEnabled = true;
    form->MailboxStateChanged();
  }
  void ShowWindow() {
    messages->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(messages));
  }
  // A left click on `row`, `x` pixels from the row's left edge (the middle of the row if -1).
  static void ClickRow(QListWidget* list, int row, int x = -1, Qt::MouseButton button = Qt::LeftButton) {
    const QRect rect = list->visualItemRect(list->item(row));
    const QPoint point(x < 0 ? rect.center().x() : rect.left() + x, rect.center().y());
    QTest::mouseClick(list->viewport(), button, {}, point);
  }
  static QStringList Lines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
  }
  std::vector<QListWidget*> AllLists() const {
    return {messages->senders, messages->dates, messages->subjects, messages->sizes, messages->fieldNames,
            messages->links};
  }
  std::vector<int> SelectedRows() const {
    std::vector<int> rows;
    for (const QListWidget* list : AllLists()) rows.push_back(SelectedRow(*list));
    return rows;
  }
  std::vector<CheckState> States() { return StatesOf(State().Messages); }
  static std::vector<CheckState> StatesOf(const MessageList& m) {
    std::vector<CheckState> states;
    for (const SenderItem& item : m.senders) states.push_back(item.state);
    return states;
  }
};
