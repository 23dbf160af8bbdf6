// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <initializer_list>

#include "vexmira_version.h"

namespace {

// QApplication's own options, documented for every Qt program; accepted here unseen.
constexpr const char* kQtValueOptions[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin",   "qmljsdebugger", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",    "session",       "display",  "geometry",      "style",
    "stylesheet"};
constexpr const char* kQtFlagOptions[] = {"reverse", "widgetcount"};

void AddHidden(QCommandLineParser& parser, const char* name, bool takesValue) {
  QCommandLineOption option(QString::fromLatin1(name));
  if (takesValue) option.setValueName(QStringLiteral("value"));
  option.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(option);
}

void Print(std::FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fflush(stream);
}

int UsageError(const QString& message) {
  Print(stderr, QStringLiteral("vexmira: %1\nTry 'vexmira --help' for more information.\n").arg(message));
  return 2;
}

}  // namespace

std::variant<StartOptions, int> ReadCommandLine(int argc, char* argv[]) {
  // A core application only, which needs no display; it gives the help text the program's name.
  QCoreApplication core(argc, argv);
  QCommandLineParser parser;
  // Qt's options come with one dash and a whole word; so may ours.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(
      QStringLiteral("Vexmira " VEXMIRA_VERSION ": a desktop notifier for one webmail account."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Show the version and exit."));
  const QCommandLineOption minimized(QStringLiteral("minimized"),
                                     QStringLiteral("Start in the notification area (minimised where there is none)."));
  for (const QCommandLineOption& option : {help, version, minimized}) parser.addOption(option);
  for (const char* name : kQtValueOptions) AddHidden(parser, name, true);
  for (const char* name : kQtFlagOptions) AddHidden(parser, name, false);

  if (!parser.parse(QCoreApplication::arguments())) return UsageError(parser.errorText());
  if (parser.isSet(help)) {
    Print(stdout, parser.helpText());
    return 0;
  }
  if (parser.isSet(version)) {
    Print(stdout, QStringLiteral("vexmira " VEXMIRA_VERSION "\n"));
    return 0;
  }
  if (!parser.positionalArguments().isEmpty())
    return UsageError(QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().constFirst()));
  StartOptions options;
  options.minimized = parser.isSet(minimized);
  return options;
}
