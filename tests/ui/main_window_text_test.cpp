// SPDX-License-Identifier: MIT
// Text between the main window's fields and the bytes of requests and the settings file: one
// byte is one character both ways, characters beyond that are refused where they are typed, and
// a one-line field never holds a line break.

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QToolTip>

#include "main_window_check_fixture.h"
#include "session/settings.h"
#include "settings_file.h"
#include "ui/filename_edit.h"
#include "ui/single_line_field.h"

using httptest::Send;

namespace {

std::vector<QLineEdit*> OneLineFields(const MainWindow& f) {
  return {f.loginEdit, f.passwordEdit, f.proxyUserEdit, f.proxyPasswordEdit,
          f.proxyHostEdit, f.proxyPortEdit, f.soundFileEdit->Edit()};
}

std::string LoginBodyOf(const std::string& request) { return request.substr(request.find("\r\n\r\n") + 4); }

// Key presses that carry `text`, as a keyboard layout gives any character.
void Type(QWidget* field, const QString& text) {
  for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace

// Bytes that are no valid UTF-8 go into the login request as they are; a typed "é" is sent as
// the one byte it stands for.
TEST_F(MainWindowCheck, FieldsAreSentOneByteACharacter) {
  OpenWithProxy({{Send(MailboxPage(0))}, {Send(Ok("bye"))}, {Send(MailboxPage(0))}, {Send(Ok("bye"))}});
  form->loginEdit->setText(QString::fromLatin1("jos\xE9"));
  form->passwordEdit->setText(QString::fromLatin1("\xF0\xE9"));

  form->checkButton->click();
  ASSERT_EQ(server->Requests().size(), 2u);
  EXPECT_EQ(LoginBodyOf(server->Requests()[0]),
            "login=jos%E9&passwd=%F0%E9&enter=Enter&frames=no&curmbox=ACTIVE&js=no");

  form->passwordEdit->clear();
  form->passwordEdit->setFocus();
  Type(form->passwordEdit, QString::fromUtf8("\xC3\xA9"));  // "é" as the keyboard gives it
  form->checkButton->click();
  ASSERT_EQ(server->Requests().size(), 4u);
  EXPECT_NE(LoginBodyOf(server->Requests()[2]).find("&passwd=%E9&"), std::string::npos);
}

// A stored password byte that is no valid UTF-8 (0xE9, kept shifted as "i") and UTF-8 bytes in
// the login show one character a byte and are written back unchanged.
TEST_F(MainWindowTest, SettingsBytesShowAsOneCharacterEachAndRoundTrip) {
  WriteSettings("USERID=jos\xC3\xA9\nSAVEPASS=1\nPASS=pi\nPROXY=h\xE9st\n");
  Open();
  EXPECT_EQ(form->loginEdit->text(), QString::fromLatin1("jos\xC3\xA9"));  // not decoded as UTF-8
  EXPECT_EQ(form->passwordEdit->text(), QString::fromLatin1("\xF0\xE9"));
  EXPECT_EQ(form->proxyHostEdit->text(), QString::fromLatin1("h\xE9st"));
  ASSERT_TRUE(form->close());
  const Settings saved = LoadSettings(SettingsFile());
  EXPECT_EQ(saved.UserId, "jos\xC3\xA9");
  EXPECT_EQ(saved.Pass, "\xF0\xE9");
  EXPECT_EQ(saved.ProxyHost, "h\xE9st");
}

// Typed or pasted, a character beyond Latin-1 changes nothing and the reason shows at the field.
TEST_F(MainWindowTest, CharactersBeyondLatin1AreRefusedWithAReason) {
  Open();
  form->useProxyBox->setChecked(true);
  form->playSoundBox->setChecked(true);
  for (QLineEdit* field : OneLineFields(*form)) {
    SCOPED_TRACE(field->objectName().toStdString());
    field->setText(QStringLiteral("ab"));
    field->setFocus();
    QToolTip::hideText();
    Type(field, QString::fromUtf8("\xD0\xB6"));  // Cyrillic zhe
    EXPECT_EQ(field->text(), "ab");
    EXPECT_EQ(QToolTip::text(), kNotLatin1Reason);

    QGuiApplication::clipboard()->setText(QString::fromUtf8("x\xE2\x82\xACy"));  // "x€y"
    field->paste();
    EXPECT_EQ(field->text(), "ab");
  }
}

// A line break pasted into a one-line field is dropped, so the login and the close work.
TEST_F(MainWindowCheck, PastedLineBreaksAreDroppedAndTheCloseSaves) {
  OpenWithProxy({{Send(MailboxPage(0))}, {Send(Ok("bye"))}});
  form->playSoundBox->setChecked(true);
  for (QLineEdit* field : OneLineFields(*form)) {
    SCOPED_TRACE(field->objectName().toStdString());
    const QString before = field->text();
    field->selectAll();
    QGuiApplication::clipboard()->setText(before + QStringLiteral("\r\n"));
    field->paste();
    EXPECT_EQ(field->text(), before);
  }
  form->loginEdit->setText(QString::fromLatin1("al\nice\r", 7) + QChar(0));
  EXPECT_EQ(form->loginEdit->text(), "alice");
  form->soundFileEdit->SetFileName(QStringLiteral("/tmp/a\nb.wav"));
  EXPECT_EQ(form->soundFileEdit->FileName(), "/tmp/ab.wav");

  form->checkButton->click();
  ASSERT_EQ(server->Requests().size(), 2u);
  EXPECT_TRUE(LoginBodyOf(server->Requests()[0]).starts_with("login=alice&"));
  EXPECT_TRUE(form->close());
  EXPECT_TRUE(answerer.Texts().filter(QStringLiteral("Unable to write")).isEmpty());
  EXPECT_EQ(LoadSettings(SettingsFile()).UserId, "alice");
}
