// SPDX-License-Identifier: MIT
#include "ui/accessible_texts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include "ui/check_list_box.h"
#include "ui/filename_edit.h"
#include "ui/main_window.h"
#include "ui/messages_window.h"
#include "ui/minutes_spin_box.h"
#include "ui/preview_window.h"
#include "ui/text_list_box.h"

namespace {

// An empty name leaves the one Qt derives from the control's caption or its buddy label.
void Describe(QWidget* control, const char* name, const char* description) {
  if (*name) control->setAccessibleName(QString::fromUtf8(name));
  if (*description) control->setAccessibleDescription(QString::fromUtf8(description));
}

void Label(QLabel* label, QWidget* control, const char* description) {
  label->setBuddy(control);
  Describe(control, "", description);
}

}  // namespace

void DescribeMainWindow(MainWindow& w) {
  Label(w.loginLabel, w.loginEdit, "Login name of the webmail account");
  Label(w.passwordLabel, w.passwordEdit, "");
  Describe(w.passwordEdit, "Account password", "Password of the webmail account");
  Label(w.checkIntervalLabel, w.checkIntervalEdit, "Minutes between automatic checks, 2 to 60");
  Describe(w.autoCheckBox, "Automatic check enabled", "");
  Describe(w.savePasswordBox, "Save account password", "Keep the account password in the settings file");

  Describe(w.useProxyBox, "", "Reach the webmail service through an HTTP proxy");
  Label(w.proxyUserLabel, w.proxyUserEdit, "User name for the proxy's authentication");
  Label(w.proxyPasswordLabel, w.proxyPasswordEdit, "");
  Describe(w.proxyPasswordEdit, "Proxy password", "Password for the proxy's authentication");
  Label(w.proxyHostLabel, w.proxyHostEdit, "Host name or address of the HTTP proxy");
  Label(w.proxyPortLabel, w.proxyPortEdit, "Port of the HTTP proxy");
  Describe(w.saveProxyPasswordBox, "Save proxy password", "Keep the proxy password in the settings file");
  Describe(w.playSoundBox, "", "Play a sound when new mail arrives");
  Describe(w.soundFileEdit->Edit(), "Sound file", "Wave file played when new mail arrives");
  Describe(w.soundFileEdit->BrowseButton(), "Choose sound file", "Choose the wave file in a file chooser");
  Describe(w.startAtLoginBox, "", "Start Vexmira in the notification area when you log in");
}

// Item views take no name from a buddy label: theirs are given.
void DescribeMessagesWindow(MessagesWindow& w) {
  Label(w.senderLabel, w.senders, "Senders of the new messages; tick the ones to delete");
  Describe(w.senders, "From", "");
  Label(w.dateLabel, w.dates, "Dates of the new messages");
  Describe(w.dates, "Date", "");
  Label(w.subjectLabel, w.subjects, "Subjects of the new messages");
  Describe(w.subjects, "Subject", "");
  Label(w.sizeLabel, w.sizes, "Sizes of the new messages");
  Describe(w.sizes, "Size", "");
  Describe(w.okButton, "", "Close this window");
  Describe(w.deleteButton, "", "Delete the ticked messages");
  Describe(w.previewButton, "", "Show the selected message");
}

void DescribePreviewWindow(PreviewWindow& w) {
  Describe(w.messageText, "Message text", "The retrieved message");
  Describe(w.okButton, "", "Close the preview");
}
