// SPDX-License-Identifier: MIT
// The interface in the session's language. Registered twice: under a German session, where the
// windows, the session's fixed texts and Qt's dialog buttons speak German, and under the C locale
// with LANGUAGE still asking for German, where everything stays English.

#include <QAction>
#include <QDialogButtonBox>
#include <QFile>
#include <QLibraryInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include "main_window_fixture.h"
#include "session/mailbox_scan.h"
#include "ui/interface_language.h"
#include "ui/session_texts.h"

namespace {

// The language of the program's translation for `languages`; empty for none.
QString TranslationFor(const QStringList& languages) {
  const std::unique_ptr<QTranslator> translator = ProgramTranslation(languages);
  return translator ? translator->language() : QString();
}

QString CancelButtonText() {
  QDialogButtonBox box(QDialogButtonBox::Cancel);
  return box.button(QDialogButtonBox::Cancel)->text();
}

struct GermanSession : MainWindowTest {};
struct EnglishSession : MainWindowTest {};

}  // namespace

// English before a language the program speaks needs no translation; a region falls back to its
// language; languages without a translation are passed over.
TEST(InterfaceLanguage, TheFirstOfTheUsersLanguagesThatTheProgramSpeaksWins) {
  EXPECT_EQ(TranslationFor({"en-US", "de-DE"}), "");
  EXPECT_EQ(TranslationFor({"it-IT", "fr-CA", "de"}), "fr");
  EXPECT_EQ(TranslationFor({"es-MX"}), "es");
  EXPECT_EQ(TranslationFor({"C"}), "");
  EXPECT_EQ(TranslationFor({"ja-JP", "ko"}), "");
}

TEST_F(GermanSession, WindowsAndSessionTextsSpeakGerman) {
  InstallInterfaceLanguage();
  Open();
  EXPECT_EQ(form->checkButton->text(), "&Prüfen");
  EXPECT_EQ(form->tabs->tabText(1), "Optionen");
  EXPECT_EQ(form->checkNowAction->text(), "Jetzt &prüfen");
  EXPECT_EQ(form->statusBar->currentMessage(), "Bereit");
  EXPECT_EQ(MessageLines(), QStringList{"Nicht geprüft"});
  EXPECT_EQ(messages->windowTitle(), "Nachrichten");
  EXPECT_EQ(SessionText(kNoMailText), "Keine Post für Sie!");
  // Any other text is shown as it came, one byte a character.
  EXPECT_EQ(SessionText("Idle\xE9"), QString::fromLatin1("Idle\xE9"));
  if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm")))
    EXPECT_EQ(CancelButtonText(), "Abbrechen");
}

TEST_F(EnglishSession, TheCLocaleKeepsTheEnglishTexts) {
  InstallInterfaceLanguage();
  Open();
  EXPECT_EQ(form->checkButton->text(), "&Check");
  EXPECT_EQ(form->tabs->tabText(1), "Options");
  EXPECT_EQ(form->statusBar->currentMessage(), "Idle");
  EXPECT_EQ(MessageLines(), QStringList{"Not Checked"});
  EXPECT_EQ(CancelButtonText(), "Cancel");
}
