// SPDX-License-Identifier: MIT
#include "ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QDialog>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <chrono>

#include "session/whole_number.h"
#include "ui/components/application_errors.h"
#include "ui/components/credits_panel.h"
#include "ui/components/desktop_notification.h"
#include "ui/filename_edit.h"
#include "ui/latin1_text.h"
#include "ui/message_boxes.h"
#include "ui/messages_window.h"
#include "ui/minutes_spin_box.h"
#include "ui/modal_owner.h"
#include "ui/session_texts.h"

namespace {

std::string Text(const QLineEdit* field) { return BytesFromText(field->text()); }

}  // namespace

MainWindow::MainWindow(std::unique_ptr<TrayShell> trayShell) : trayIcon(std::move(trayShell)) {
  // The program ends when this window closes (closeEvent), not when its last visible window
  // does: in the tray, a message box closed by the user is that last window.
  QApplication::setQuitOnLastWindowClosed(false);
  BuildWindow();
  BuildTray();
  ConnectHandlers();
  LocateSettingsFile();
  SetMainWindowForModals(this);
}

// The widgets go after the members (the session, the tray icon): what they signal meanwhile, such
// as a field losing the focus, must not reach a handler.
MainWindow::~MainWindow() {
  SetMainWindowForModals(nullptr);
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void MainWindow::SetMessagesWindow(MessagesWindow& window) {
  messagesWindow_ = &window;
  MailboxStateChanged();
}

void MainWindow::CheckNow() { session_.RunCheckCycle(); }

void MainWindow::StopCheck() { session_.StopCheck(); }

void MainWindow::AccountChanged() { session_.ResetResult(); }

void MainWindow::UseProxyToggled() {
  const bool useProxy = useProxyBox->isChecked();
  for (QWidget* control : std::initializer_list<QWidget*>{saveProxyPasswordBox, proxyUserEdit, proxyPasswordEdit, proxyHostEdit, proxyPortEdit})
    control->setEnabled(useProxy);
}

void MainWindow::PlaySoundToggled() { soundFileEdit->setEnabled(playSoundBox->isChecked()); }

void MainWindow::ShowHeadersToggled() { session_.UpdateHeaderButton(); }

void MainWindow::ShowHeaders() { ShowMessagesWindow(); }

void MainWindow::TabChanged() { creditsPanel->SetActive(tabs->currentWidget() == aboutTab); }

// Nothing is reported when no browser opens it.
void MainWindow::VisitWebSite() { QDesktopServices::openUrl(QUrl(QString::fromUtf8(kAboutAddress))); }

// The field reports a change of its text on paths that overlap (typing, a new value, the clean-up
// when it loses the focus); only a text that differs from the applied one restarts the countdown.
void MainWindow::CheckIntervalChanged() {
  if (checkIntervalEdit->text() != appliedIntervalText_) StartAutoCheckTimer();
}

// The countdown restarts from the interval of the field's text: the minutes as typed, within the
// field's range (a number on its way to another, such as 71583, never sets a few seconds or
// hours), 2 for what is not a whole number (an empty field while typing), and no ticks at all
// for 0.
void MainWindow::StartAutoCheckTimer() {
  appliedIntervalText_ = checkIntervalEdit->text();
  const int minutes = ParseWholeNumber(appliedIntervalText_.toStdString()).value_or(kMinimumCheckMinutes);
  if (minutes > 0) {
    const std::chrono::minutes interval(
        std::clamp(minutes, MinutesSpinBox::kMinimumMinutes, MinutesSpinBox::kMaximumMinutes));
    autoCheckTimer->start(std::chrono::duration_cast<std::chrono::milliseconds>(interval));
  } else {
    autoCheckTimer->stop();
  }
}

// The timer keeps running either way; its ticks look at the box.
void MainWindow::AutoCheckToggled() {
  const bool automatic = autoCheckBox->isChecked();
  autoCheckAction->setChecked(automatic);
  checkIntervalEdit->setEnabled(automatic);
}

// A tick during a running check is dropped by the session. One that comes while a modal window of
// the program is open (the Messages window from Headers, a box) would run a check whose own
// windows cannot show: the check waits until the window has closed, and the ticks meanwhile make
// one check. Once the window has closed (which closes the modal windows too), none starts.
void MainWindow::AutoCheckDue() {
  if (closed_ || !autoCheckBox->isChecked()) return;
  if (QWidget* modal = QApplication::activeModalWidget()) {
    CheckWhenModalCloses(modal);
    return;
  }
  CheckNow();
}

// Run from the loop that showed the window, once its own modal loop has returned.
void MainWindow::CheckWhenModalCloses(QWidget* modal) {
  if (checkWaits_) return;
  checkWaits_ = true;
  const auto runWaitingCheck = [this] {
    QTimer::singleShot(0, this, [this] {
      checkWaits_ = false;
      RunReportingErrors([this] { AutoCheckDue(); });
    });
  };
  if (auto* dialog = qobject_cast<QDialog*>(modal)) {
    connect(dialog, &QDialog::finished, this, runWaitingCheck, Qt::SingleShotConnection);
  } else {
    connect(modal, &QObject::destroyed, this, runWaitingCheck, Qt::SingleShotConnection);
  }
}

std::string MainWindow::LoginText() const { return Text(loginEdit); }
std::string MainWindow::PasswordText() const { return Text(passwordEdit); }
bool MainWindow::UseProxyChecked() const { return useProxyBox->isChecked(); }
std::string MainWindow::ProxyUserText() const { return Text(proxyUserEdit); }
std::string MainWindow::ProxyPasswordText() const { return Text(proxyPasswordEdit); }
std::string MainWindow::ProxyHostText() const { return Text(proxyHostEdit); }
std::string MainWindow::ProxyPortText() const { return Text(proxyPortEdit); }
bool MainWindow::ShowHeadersChecked() const { return showHeadersBox->isChecked(); }
bool MainWindow::PlaySoundChecked() const { return playSoundBox->isChecked(); }

void MainWindow::SetStatusText(const std::string& text) { statusBar->showMessage(SessionText(text)); }
void MainWindow::SetCheckEnabled(bool enabled) {
  checkButton->setEnabled(enabled);
  checkNowAction->setEnabled(enabled);
}
void MainWindow::SetStopEnabled(bool enabled) { stopButton->setEnabled(enabled); }
void MainWindow::SetHeaderButtonEnabled(bool enabled) { headersButton->setEnabled(enabled); }

// The tray picture and tooltip follow every result, also while the window is shown, so that they
// are current when the program goes to the tray.
void MainWindow::MailboxStateChanged() {
  trayIcon.SetIcon(trayIcon.Icons().Icon(session_.State.TrayIconIndex));
  trayIcon.SetHint(SessionText(session_.State.TrayHint));
  if (messagesWindow_) messagesWindow_->ShowMailboxState();
}

// Once the window has closed the program is ending: nothing more is put in front of the user.
void MainWindow::ShowMessage(const std::string& text) {
  if (!closed_) ::ShowMessage(SessionText(text));
}

void MainWindow::ShowMessagesWindow() {
  if (closed_ || !messagesWindow_) return;
  messagesWindow_->ShowMailboxState();
  MakeModalToFront(*messagesWindow_);
  messagesWindow_->exec();
}

void MainWindow::ShowError(std::exception_ptr error) {
  if (!closed_) ReportApplicationError(error);
}

void MainWindow::NotifyNewMail(const std::string& text) {
  if (!notifyBox->isChecked()) return;
  if (!notification_)
    notification_ = std::make_unique<DesktopNotification>([this] { RunReportingErrors([this] { NotificationClicked(); }); });
  notification_->Show(QStringLiteral("Vexmira"), SessionText(text));
}

// The window comes back from the tray, with the message list where there is one to show.
void MainWindow::NotificationClicked() {
  RestoreFromTray();
  if (headersButton->isEnabled()) ShowMessagesWindow();
}

// The file as the field names it now; opening closes the sound of an earlier check.
void MainWindow::PlayNewMailSound() {
  newMailSound.Open(BytesFromText(soundFileEdit->FileName()));
  newMailSound.Play();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  RunReportingErrors([this] { LoadSettingsOnce(); });
}

// The settings are saved once. A save that fails is reported (a message box, or stderr once a
// stop signal has redirected the reports) and the window closes all the same: a file that
// cannot be written must not keep the user from quitting.
void MainWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {  // asked again while this close waits for the keyring or shows its error
    EndRunningWork();
    event->ignore();
    return;
  }
  closing_ = true;
  if (!settingsApplied_) keyring_.Abandon();  // the load still waits for it: the program ends now
  autoCheckTimer->stop();  // no check starts while the save waits
  saveFailed_ = true;
  RunReportingErrors([this] {
    SaveSettingsOnClose();
    saveFailed_ = false;
  });
  closing_ = false;
  closed_ = true;
  EndRunningWork();
  event->accept();
  QApplication::quit();  // does nothing while the program's event loop is not running (tests)
}

// Close and the tray's Close end the request first; an error of the abort changes nothing.
void MainWindow::AbortRequest() {
  try {
    session_.httpClient.Abort();
  } catch (...) {
  }
}

// A check waiting for the network, for a message box or for the Messages window would keep the
// program alive behind a closed window (a close by signal can come while one is open).
void MainWindow::EndRunningWork() {
  AbortRequest();
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible()) dialog->reject();
}
