// SPDX-License-Identifier: MIT
#include "ui/accessible_texts.h"

#include <QAccessibleWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

#include "ui/check_list_box.h"
#include "ui/components/credits_panel.h"
#include "ui/filename_edit.h"
#include "ui/main_window.h"
#include "ui/messages_window.h"
#include "ui/minutes_spin_box.h"
#include "ui/preview_window.h"
#include "ui/text_list_box.h"

namespace {

// An empty name leaves the one Qt derives from the control's caption or its buddy label.
void Describe(QWidget* control, const QString& name, const QString& description) {
  if (!name.isEmpty()) control->setAccessibleName(name);
  if (!description.isEmpty()) control->setAccessibleDescription(description);
}

void Label(QLabel* label, QWidget* control, const QString& description) {
  label->setBuddy(control);
  Describe(control, QString(), description);
}

// The main window is a plain widget, which Qt hands to screen readers as a "filler"; it is the
// program's window.
QAccessibleInterface* MainWindowAsWindow(const QString&, QObject* object) {
  auto* window = dynamic_cast<MainWindow*>(object);
  return window ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
}

// Each page is read by its tab's title, without the shortcut's "&".
void NamePages(QTabWidget& tabs) {
  for (int i = 0; i < tabs.count(); ++i) tabs.widget(i)->setAccessibleName(tabs.tabText(i).remove(QLatin1Char('&')));
}

// The scrolling credits are a picture; their lines are read as its description.
void DescribeCredits(CreditsPanel& panel) {
  QStringList lines = panel.Lines();
  lines.removeAll(QString());
  panel.setAccessibleName(MainWindow::tr("Credits"));
  panel.setAccessibleDescription(lines.join(QStringLiteral(", ")));
}

}  // namespace

void DescribeMainWindow(MainWindow& w) {
  static const bool installed = (QAccessible::installFactory(MainWindowAsWindow), true);
  (void)installed;
  NamePages(*w.tabs);
  DescribeCredits(*w.creditsPanel);
  w.soundFileEdit->setAccessibleName(MainWindow::tr("Sound file and its chooser"));
  Label(w.loginLabel, w.loginEdit, MainWindow::tr("Login name of the webmail account"));
  Label(w.passwordLabel, w.passwordEdit, QString());
  Describe(w.passwordEdit, MainWindow::tr("Account password"), MainWindow::tr("Password of the webmail account"));
  Label(w.checkIntervalLabel, w.checkIntervalEdit, MainWindow::tr("Minutes between automatic checks, 2 to 60"));
  Describe(w.autoCheckBox, MainWindow::tr("Automatic check enabled"), QString());
  Describe(w.savePasswordBox, MainWindow::tr("Save account password"),
           MainWindow::tr("Keep the account password in the settings file"));

  Describe(w.useProxyBox, QString(), MainWindow::tr("Reach the webmail service through an HTTP proxy"));
  Label(w.proxyUserLabel, w.proxyUserEdit, MainWindow::tr("User name for the proxy's authentication"));
  Label(w.proxyPasswordLabel, w.proxyPasswordEdit, QString());
  Describe(w.proxyPasswordEdit, MainWindow::tr("Proxy password"),
           MainWindow::tr("Password for the proxy's authentication"));
  Label(w.proxyHostLabel, w.proxyHostEdit, MainWindow::tr("Host name or address of the HTTP proxy"));
  Label(w.proxyPortLabel, w.proxyPortEdit, MainWindow::tr("Port of the HTTP proxy"));
  Describe(w.saveProxyPasswordBox, MainWindow::tr("Save proxy password"),
           MainWindow::tr("Keep the proxy password in the settings file"));
  Describe(w.playSoundBox, QString(), MainWindow::tr("Play a sound when new mail arrives"));
  Describe(w.soundFileEdit->Edit(), MainWindow::tr("Sound file"),
           MainWindow::tr("Wave file played when new mail arrives"));
  Describe(w.soundFileEdit->BrowseButton(), MainWindow::tr("Choose sound file"),
           MainWindow::tr("Choose the wave file in a file chooser"));
  Describe(w.startAtLoginBox, QString(), MainWindow::tr("Start Vexmira in the notification area when you log in"));
  Describe(w.notifyBox, QString(),
           MainWindow::tr("While Vexmira sits in the notification area, tell about new mail in a desktop notification"));
}

// Item views take no name from a buddy label: theirs are given.
void DescribeMessagesWindow(MessagesWindow& w) {
  Label(w.senderLabel, w.senders, MessagesWindow::tr("Senders of the new messages; tick the ones to delete"));
  Describe(w.senders, MessagesWindow::tr("From"), QString());
  Label(w.dateLabel, w.dates, MessagesWindow::tr("Dates of the new messages"));
  Describe(w.dates, MessagesWindow::tr("Date"), QString());
  Label(w.subjectLabel, w.subjects, MessagesWindow::tr("Subjects of the new messages"));
  Describe(w.subjects, MessagesWindow::tr("Subject"), QString());
  Label(w.sizeLabel, w.sizes, MessagesWindow::tr("Sizes of the new messages"));
  Describe(w.sizes, MessagesWindow::tr("Size"), QString());
  Describe(w.okButton, QString(), MessagesWindow::tr("Close this window"));
  Describe(w.deleteButton, QString(), MessagesWindow::tr("Delete the ticked messages"));
  Describe(w.previewButton, QString(), MessagesWindow::tr("Show the selected message"));
}

void DescribePreviewWindow(PreviewWindow& w) {
  Describe(w.messageText, PreviewWindow::tr("Message text"), PreviewWindow::tr("The retrieved message"));
  Describe(w.okButton, QString(), PreviewWindow::tr("Close the preview"));
}
