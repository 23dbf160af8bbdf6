// SPDX-License-Identifier: MIT
#pragma once
// The language of the interface. The texts in the code are English; other languages come from
// translations embedded in the program (translations/*.ts), one file a language.

#include <QStringList>
#include <QTranslator>

#include <memory>

// The program's translation for the first of `languages` (most wanted first, as
// QLocale::uiLanguages gives them) that it has one for. None when English comes first, since the
// texts are English already, nor when it speaks none of them.
std::unique_ptr<QTranslator> ProgramTranslation(const QStringList& languages);

// Installs the translation for the session's languages, with Qt's own for the same language (the
// buttons of its standard dialogs) when the system has it. Messages in the C or POSIX locale stay
// English whatever LANGUAGE asks for, as gettext has it. Call once, after the application exists.
void InstallInterfaceLanguage();
