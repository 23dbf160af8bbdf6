// SPDX-License-Identifier: MIT
// The status panel and the preview window on their own, under the offscreen platform.

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "modal_answerer.h"
#include "ui/preview_window.h"
#include "ui/status_panel.h"

TEST(StatusPanel, ShowsOneCentredPanelWhoseTextOutlivesIt) {
  StatusPanel panel;
  panel.ShowStatus("Deleting mails");
  EXPECT_TRUE(panel.isVisible());
  EXPECT_TRUE(panel.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(panel.textPanel->text(), "Deleting mails");
  const QRect screen = panel.screen()->availableGeometry();
  EXPECT_LE((panel.frameGeometry().center() - screen.center()).manhattanLength(), 1);

  panel.ShowStatus("Retrieving mail");
  EXPECT_EQ(panel.textPanel->text(), "Retrieving mail");
  EXPECT_EQ(panel.textPanel->textFormat(), Qt::PlainText);
  panel.HideStatus();
  EXPECT_FALSE(panel.isVisible());
  EXPECT_EQ(panel.textPanel->text(), "Retrieving mail");

  panel.move(0, 0);
  panel.ShowStatus("Deleting mails");  // centred again at each showing
  EXPECT_LE((panel.frameGeometry().center() - screen.center()).manhattanLength(), 1);
}

// Read-only but selectable, long lines wrapped, and OK ends the modal showing.
TEST(PreviewWindow, ShowsTheLinesForReadingUntilOK) {
  PreviewWindow window;
  ModalAnswerer answerer;
  const QString longLine = QString("word ").repeated(60);
  QString typedOver, selected;
  int longLineRows = 0;
  bool closedByOk = false;
  answerer.whileOpen = [&](QDialog*) {
    QTest::keyClicks(window.messageText, "typed");
    QTest::keyClick(window.messageText, Qt::Key_Delete);
    typedOver = window.messageText->toPlainText();
    QTest::keyClick(window.messageText, Qt::Key_A, Qt::ControlModifier);
    selected = window.messageText->textCursor().selectedText();
    longLineRows = window.messageText->document()->findBlockByNumber(2).layout()->lineCount();
    window.okButton->click();
    closedByOk = window.result() == QDialog::Accepted && !window.isVisible();
  };
  window.ShowPreview("Sender: Ann\r\nDate: Dec 7\r\n" + longLine + "\r\n");
  EXPECT_EQ(answerer.seen.size(), 1u);
  EXPECT_EQ(window.windowTitle(), "Message Preview");
  EXPECT_EQ(typedOver, "Sender: Ann\nDate: Dec 7\n" + longLine + "\n");
  EXPECT_EQ(selected, QString("Sender: Ann\u2029Date: Dec 7\u2029" + longLine + "\u2029"));
  EXPECT_GT(longLineRows, 1);
  EXPECT_TRUE(closedByOk);
}

// Lines end at CR LF only: the lone LF that starts a message body makes no empty line.
TEST(PreviewWindow, BreaksLinesAtCrLfOnly) {
  EXPECT_EQ(PreviewLines("Subject: S\r\n-----\r\n\nfirst\r\nsecond\r\n"), "Subject: S\n-----\nfirst\nsecond\n");
  EXPECT_EQ(PreviewLines("a\nb\rc\r\n\r\nd"), "abc\n\nd");
  PreviewWindow window;
  ModalAnswerer answerer;
  window.ShowPreview("-----\r\n\nbody\r\n");
  EXPECT_EQ(window.messageText->toPlainText(), "-----\nbody\n");
}
