// SPDX-License-Identifier: MIT
// The Messages window under the offscreen platform: what it shows of the session's state, the
// selections kept in step, and the check boxes of the sender list.

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>

#include "messages_window_fixture.h"
#include "ui/check_list_box.h"

namespace {

using enum CheckState;

std::vector<QWidget*> FocusChain(QWidget* window) {
  std::vector<QWidget*> chain;
  for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
    if (w->isVisibleTo(window) && w->focusPolicy() & Qt::TabFocus) chain.push_back(w);
  return chain;
}

}  // namespace

TEST_F(MessagesWindowTest, ShowsTheSessionStateUnderTheHeadingOfTheLoginFieldAsItIsNow) {
  Open();
  EXPECT_EQ(Lines(messages->senders), QStringList{"Not Checked"});
  EXPECT_FALSE(messages->senders->ItemEnabled(0));  // as created; later status lines are enabled
  form->loginEdit->setText("bob");
  SetRows(2);
  Rows().senders[0].text = "Ren\xe9";       // a Latin-1 page
  Rows().senders[1].text = "Zo\xc3\xab";  // UTF-8 bytes: one character each, as every byte
  form->MailboxStateChanged();
  ShowWindow();
  EXPECT_EQ(messages->windowTitle(), "Messages");
  EXPECT_EQ(messages->size(), QSize(377, 318));
  EXPECT_EQ(messages->minimumSize(), messages->maximumSize());
  EXPECT_FALSE(messages->windowFlags() & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                          Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(messages->heading->text(), "New Messages for bob@hotmail.com");
  EXPECT_EQ(Lines(messages->senders), (QStringList{QString::fromUtf8("René"), QString::fromUtf8("ZoÃ«")}));
  EXPECT_EQ(Lines(messages->dates), (QStringList{"Dec 1", "Dec 2"}));
  EXPECT_EQ(Lines(messages->subjects), (QStringList{"Subject 1", "Subject 2"}));
  EXPECT_EQ(Lines(messages->sizes), (QStringList{"1k", "2k"}));
  EXPECT_EQ(Lines(messages->fieldNames), (QStringList{"MSG1", "MSG2"}));
  EXPECT_EQ(Lines(messages->links), (QStringList{"/cgi-bin/getmsg?msg=MSG1", "/cgi-bin/getmsg?msg=MSG2"}));
  EXPECT_FALSE(messages->fieldNames->isVisible());
  EXPECT_FALSE(messages->links->isVisible());
  EXPECT_TRUE(messages->deleteButton->isEnabled());
  EXPECT_TRUE(messages->previewButton->isEnabled());
  EXPECT_EQ(FocusChain(messages),
            (std::vector<QWidget*>{messages->dates, messages->subjects, messages->sizes, messages->homePageButton,
                                   messages->senders, messages->deleteButton, messages->okButton,
                                   messages->previewButton}));

  // A new login is shown at the next opening; it also voided the last result.
  messages->hide();
  form->loginEdit->setText("carol");
  ShowWindow();
  EXPECT_EQ(messages->heading->text(), "New Messages for carol@hotmail.com");
  EXPECT_EQ(Lines(messages->senders), QStringList{"Not Checked"});
  EXPECT_TRUE(Lines(messages->dates).isEmpty());
  EXPECT_FALSE(messages->deleteButton->isEnabled());
  EXPECT_FALSE(messages->previewButton->isEnabled());
}

// A user's selection in one visible list is copied to the other five without a selection
// event of theirs, so no handler runs another.
TEST_F(MessagesWindowTest, SelectionsMoveInStepAcrossAllSixLists) {
  Open();
  SetRows(4);
  Rows().AppendStatusLine("Error in Internet Connection or Operation Aborted");
  form->MailboxStateChanged();
  ShowWindow();
  const std::vector<QListWidget*> visible{messages->senders, messages->dates, messages->subjects,
                                          messages->sizes};
  for (int source = 0; source < 4; ++source) {
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QListWidget* list : visible)
      spies.push_back(std::make_unique<QSignalSpy>(list, &QListWidget::itemSelectionChanged));
    const int row = 3 - source;
    ClickRow(visible[source], row, source == 0 ? 40 : -1);
    EXPECT_EQ(SelectedRows(), std::vector<int>(6, row)) << "from list " << source + 1;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(spies[i]->count(), i == source ? 1 : 0) << "list " << i + 1;
  }

  messages->subjects->setFocus();
  QTest::keyClick(messages->subjects, Qt::Key_Down);
  EXPECT_EQ(SelectedRows(), std::vector<int>(6, 1));

  // The status line has no counterpart: the other lists are left without a selection.
  ClickRow(messages->senders, 4);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{4, -1, -1, -1, -1, -1}));
  ClickRow(messages->sizes, 2);
  EXPECT_EQ(SelectedRows(), std::vector<int>(6, 2));
  EXPECT_EQ(States(), std::vector<CheckState>(5, Unchecked));  // selecting checks nothing
}

TEST_F(MessagesWindowTest, CheckBoxesToggleInTheirAreaAndByKeysOnEnabledRowsOnly) {
  Open();
  SetRows(3);
  MessageList& m = Rows();
  m.senders[1].state = Checked;
  m.senders[2].state = Grayed;
  m.senders.push_back({"Locked", Checked, false});
  m.senders.push_back({"Not Checked", Unchecked, false});
  form->MailboxStateChanged();
  ShowWindow();
  CheckListBox* list = messages->senders;

  ClickRow(list, 0, 14);
  ClickRow(list, 1, 15);  // just beside the box: only selects
  EXPECT_EQ(SelectedRow(*list), 1);
  ClickRow(list, 2, 0);
  ClickRow(list, 3, 7);
  EXPECT_EQ(SelectedRow(*list), 3);  // a disabled row can be selected
  ClickRow(list, 0, 7, Qt::RightButton);
  EXPECT_EQ(States(), (std::vector<CheckState>{Checked, Checked, Checked, Checked, Unchecked}));

  list->setFocus();
  ClickRow(list, 1);
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_EQ(States()[1], Unchecked);
  ClickRow(list, 4);
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_EQ(States()[4], Unchecked);

  QTest::keyClick(list, Qt::Key_Minus);
  EXPECT_EQ(States(), (std::vector<CheckState>{Unchecked, Unchecked, Unchecked, Checked, Unchecked}));
  QTest::keyClick(list, Qt::Key_Plus);
  EXPECT_EQ(States(), (std::vector<CheckState>{Checked, Checked, Checked, Checked, Unchecked}));
  EXPECT_EQ(SelectedRow(*list), 4);  // the keys neither searched nor moved the selection

  // Both presses of a double click count (sent to the window, which turns the second press into
  // the double click).
  const QPoint box =
      list->viewport()->mapTo(messages, list->visualItemRect(list->item(0)).topLeft() + QPoint(7, 6));
  QTest::mouseDClick(messages->windowHandle(), Qt::LeftButton, {}, box);
  EXPECT_EQ(States()[0], Checked);
  ClickRow(list, 0, 7);
  EXPECT_EQ(States()[0], Unchecked);

  // What the window shows after a refresh is what the session kept.
  form->MailboxStateChanged();
  for (int row = 0; row < list->count(); ++row)
    EXPECT_EQ(list->State(row), row == 0 || row == 4 ? Qt::Unchecked : Qt::Checked) << row;
}

// The widest entry with one "x" sets how far a text list scrolls; rows of the sender list are
// as high as its font's line, never below the check box.
TEST_F(MessagesWindowTest, ScrollWidthsAndRowHeightsFollowTheEntriesAndTheFont) {
  Open();
  SetRows(2);
  const QString wide = "A subject far too wide for the subject column of the window";
  Rows().subjects[1] = wide.toStdString();
  form->MailboxStateChanged();
  ShowWindow();
  QListWidget* subjects = messages->subjects;
  const auto scrollWidth = [&] {
    QApplication::processEvents();
    return subjects->horizontalScrollBar()->maximum() + subjects->viewport()->width();
  };
  EXPECT_EQ(scrollWidth(), subjects->fontMetrics().horizontalAdvance(wide + "x"));
  EXPECT_EQ(messages->dates->horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(subjects->visualItemRect(subjects->item(0)).height(), TextListBox::kItemHeight);
  EXPECT_EQ(messages->senders->visualItemRect(messages->senders->item(0)).height(), 13);

  QFont large = subjects->font();
  large.setPixelSize(24);
  subjects->setFont(large);
  EXPECT_EQ(scrollWidth(), subjects->fontMetrics().horizontalAdvance(wide + "x"));
  messages->senders->setFont(large);
  QApplication::processEvents();
  EXPECT_EQ(messages->senders->visualItemRect(messages->senders->item(0)).height(),
            messages->senders->fontMetrics().height());

  subjects->horizontalScrollBar()->setValue(30);
  Rows().Clear();
  Rows().AppendStatusLine("No mail for you!");
  form->MailboxStateChanged();
  QApplication::processEvents();
  EXPECT_EQ(subjects->horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(subjects->horizontalScrollBar()->value(), 0);
}

// A scroll of any list, by its bar or by the keyboard, scrolls the other three with it, so a
// screen row shows one message, and every row of every list can be reached (a long subject
// gives the lists their horizontal bars); page bytes show one character each.
TEST_F(MessagesWindowTest, TheFourListsScrollInStepAndShowBytesAsCharacters) {
  Open();
  SetRows(40);
  Rows().senders[0].text = "Ren\xE9";
  Rows().subjects[0] = "caf\xC3\xA9";  // UTF-8 bytes stay two characters
  Rows().subjects[39] = std::string(300, 'w');
  form->MailboxStateChanged();
  ShowWindow();
  const std::vector<QListWidget*> visible{messages->senders, messages->dates, messages->subjects, messages->sizes};
  EXPECT_EQ(messages->senders->item(0)->text(), QString::fromLatin1("Ren\xE9"));
  EXPECT_EQ(messages->subjects->item(0)->text(), QString::fromLatin1("caf\xC3\xA9"));
  const auto topRows = [&] {
    std::vector<int> rows;
    for (QListWidget* list : visible) rows.push_back(list->indexAt(QPoint(2, 2)).row());
    return rows;
  };
  messages->subjects->verticalScrollBar()->setValue(10);
  EXPECT_EQ(topRows(), std::vector<int>(4, topRows()[2]));
  EXPECT_GT(topRows()[2], 0);

  messages->sizes->setFocus();
  QTest::keyClick(messages->sizes, Qt::Key_End);
  EXPECT_EQ(SelectedRow(*messages->senders), 39);
  EXPECT_EQ(topRows(), std::vector<int>(4, topRows()[3]));
  for (QListWidget* list : visible)
    EXPECT_LE(list->visualItemRect(list->item(39)).bottom(), list->viewport()->height()) << list->objectName().toStdString();
  messages->senders->setFocus();
  QTest::keyClick(messages->senders, Qt::Key_Home);
  EXPECT_EQ(topRows(), std::vector<int>(4, 0));
}

// Centred on its first showing; later showings keep the place it had.
TEST_F(MessagesWindowTest, LaterShowingsKeepThePlace) {
  Open();
  ShowWindow();
  const QRect screen = messages->screen()->availableGeometry();
  EXPECT_LE((messages->geometry().center() - screen.center()).manhattanLength(), 10);
  messages->move(40, 50);
  const QPoint place = messages->pos();
  messages->hide();
  ShowWindow();
  EXPECT_EQ(messages->pos(), place);
}
