// SPDX-License-Identifier: MIT
#include "ui/session_texts.h"

#include <QCoreApplication>

#include "ui/latin1_text.h"

namespace {

// As src/session writes them (check_cycle.*, mailbox_scan.*, message_operations.cpp); the
// session's tests hold them to these words.
constexpr const char* kFixedTexts[] = {
    QT_TRANSLATE_NOOP("SessionText", "Idle"),
    QT_TRANSLATE_NOOP("SessionText", "Connecting..."),
    QT_TRANSLATE_NOOP("SessionText", "Receiving data..."),
    QT_TRANSLATE_NOOP("SessionText", "Analysing data..."),
    QT_TRANSLATE_NOOP("SessionText", "Processing..."),
    QT_TRANSLATE_NOOP("SessionText", "Checking Headers"),
    QT_TRANSLATE_NOOP("SessionText", "Logging out..."),
    QT_TRANSLATE_NOOP("SessionText", "Deleting mails"),
    QT_TRANSLATE_NOOP("SessionText", "Retrieving mail"),
    QT_TRANSLATE_NOOP("SessionText", "No mail for you!"),
    QT_TRANSLATE_NOOP("SessionText", "Not Checked"),
    QT_TRANSLATE_NOOP("SessionText", "Not checked"),
    QT_TRANSLATE_NOOP("SessionText", "Sorry, login failed!"),
    QT_TRANSLATE_NOOP("SessionText", "Error in Internet Connection or Operation Aborted"),
    QT_TRANSLATE_NOOP("SessionText", "Error in internet connection or Operation Aborted"),
};

}  // namespace

QString SessionText(std::string_view bytes) {
  for (const char* text : kFixedTexts)
    if (bytes == text) return QCoreApplication::translate("SessionText", text);
  return TextFromBytes(bytes);
}
