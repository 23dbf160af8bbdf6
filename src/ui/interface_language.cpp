// SPDX-License-Identifier: MIT
#include "ui/interface_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include <initializer_list>

namespace {

// Where src/ui/CMakeLists.txt embeds the compiled translations.
constexpr const char* kTranslationDirectory = ":/i18n";

// The first of LC_ALL, LC_MESSAGES and LANG that is set decides, as for every other program.
bool MessagesInCLocale() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QString value = qEnvironmentVariable(variable);
    if (value.isEmpty()) continue;
    return value == QLatin1String("C") || value.startsWith(QLatin1String("C.")) || value == QLatin1String("POSIX");
  }
  return true;
}

// The application keeps an installed translator until it ends.
void Install(std::unique_ptr<QTranslator> translator) {
  translator->setParent(QCoreApplication::instance());
  QCoreApplication::installTranslator(translator.release());
}

}  // namespace

std::unique_ptr<QTranslator> ProgramTranslation(const QStringList& languages) {
  for (const QString& name : languages) {
    const QLocale locale(name);
    if (locale.language() == QLocale::English || locale.language() == QLocale::C) return nullptr;
    auto translator = std::make_unique<QTranslator>();
    // Tries the language with its region first, then without ("fr_CA", then "fr").
    if (translator->load(locale, QStringLiteral("vexmira"), QStringLiteral("_"),
                         QString::fromLatin1(kTranslationDirectory)))
      return translator;
  }
  return nullptr;
}

void InstallInterfaceLanguage() {
  if (MessagesInCLocale()) return;
  std::unique_ptr<QTranslator> program = ProgramTranslation(QLocale::system().uiLanguages());
  if (!program) return;
  auto qt = std::make_unique<QTranslator>();
  if (qt->load(QLocale(program->language()), QStringLiteral("qtbase"), QStringLiteral("_"),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    Install(std::move(qt));
  Install(std::move(program));
}
