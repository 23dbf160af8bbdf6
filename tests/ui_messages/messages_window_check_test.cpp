// SPDX-License-Identifier: MIT
// A whole check with Show Headers from the real windows, against the webmail emulator through
// its proxy side: inside the modal Messages window the user previews one message, deletes
// another and presses OK, and the check logs out.

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "messages_window_fixture.h"
#include "ui/check_list_box.h"
#include "webmail_process.h"

namespace {

// The session id changes with every login.
QStringList WithoutSessionIds(QStringList requests) {
  static const QRegularExpression sessionId(QStringLiteral("sid=S[0-9A-Fa-f]{16}"));
  return requests.replaceInStrings(sessionId, QStringLiteral("sid=SID"));
}

}  // namespace

TEST_F(MessagesWindowTest, AWholeCheckPreviewsDeletesAndLogsOutWhenTheWindowCloses) {
  WebmailProcess webmail;
  Open();
  form->showHeadersBox->setChecked(true);
  form->useProxyBox->setChecked(true);
  form->proxyHostEdit->setText("127.0.0.1");
  form->proxyPortEdit->setText(QString::number(webmail.Port()));
  form->loginEdit->setText("alice");
  form->passwordEdit->setText("wonderland");

  QString heading;
  QStringList shown, left, preview, requestsBeforeOk;
  bool panelUpDuringPreview = true;
  answerer.whileOpen = [&](QDialog* dialog) {
    if (dialog == this->preview) {
      panelUpDuringPreview = status->isVisible();
      preview = this->preview->messageText->toPlainText().split('\n');
    }
    if (dialog != messages) return;
    heading = messages->heading->text();
    shown = Lines(messages->senders);
    ClickRow(messages->subjects, 0);
    QTest::mouseClick(messages->previewButton, Qt::LeftButton);
    ClickRow(messages->senders, 1, 7);
    QTest::mouseClick(messages->deleteButton, Qt::LeftButton);
    left = Lines(messages->senders);
    requestsBeforeOk = webmail.Requests();
    QTest::mouseClick(messages->okButton, Qt::LeftButton);
  };
  form->checkButton->click();

  QStringList titles;
  for (const SeenModal& modal : answerer.seen) titles << modal.title + ": " + modal.text;
  EXPECT_EQ(titles, (QStringList{"Messages: ", "Message Preview: "}));
  EXPECT_EQ(heading, "New Messages for alice@hotmail.com");
  EXPECT_EQ(shown, (QStringList{"Ann Example", "Bob Sample", "Carol Test", "Hotmail Staff"}));
  EXPECT_EQ(preview, (QStringList{"Sender: Ann Example", "Date: Dec 7", "Subject: Lunch on Friday?",
                                  "--------------------------", "Hi Alice,", "",
                                  "lunch on Friday at noon, at the usual place?", "", "  Ann", "", ""}));
  EXPECT_FALSE(panelUpDuringPreview);
  EXPECT_EQ(left, (QStringList{"Ann Example", "Carol Test", "Hotmail Staff"}));
  EXPECT_EQ(requestsBeforeOk.size(), 3);  // the logout waits for OK
  EXPECT_EQ(WithoutSessionIds(webmail.Requests()),
            (QStringList{"POST http://192.0.2.10/cgi-bin/start 200",
                         "GET http://192.0.2.10/cgi-bin/getmsg?sid=SID&curmbox=ACTIVE&msg=MSG1001 200",
                         "GET http://192.0.2.10/cgi-bin/HoTMaiL?curmbox=ACTIVE&sid=SID&MSG1002=TRUE&Delete.x=Delete "
                         "200",
                         "GET http://192.0.2.20/cgi-bin/logout?sid=SID&curmbox=ACTIVE 200"}));
  EXPECT_FALSE(status->isVisible());
  EXPECT_FALSE(messages->deleteButton->isEnabled());  // the logout ended the session
  EXPECT_FALSE(messages->previewButton->isEnabled());
}
