#include "ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include "session/whole_number.h"
#include "ui/components/application_errors.h"
#include "ui/components/credits_panel.h"
#include "ui/filename_edit.h"
#include "ui/message_boxes.h"
#include "ui/messages_window.h"

namespace {

std::string Text(const QLineEdit* field) { return field->text().toStdString(); }

}  // namespace

TForm1::TForm1(std::unique_ptr<TrayShell> trayShell) : trayIcon(std::move(trayShell)) {
  // The program ends when this window closes (closeEvent), not when its last visible window
  // does: in the tray, a message box closed by the user is that last window.
  QApplication::setQuitOnLastWindowClosed(false);
  BuildWindow();
  BuildTray();
  ConnectHandlers();
  FormCreate();
}

// The widgets go after the members (the session, the tray icon): what they signal meanwhile, such
// as a field losing the focus, must not reach a handler.
TForm1::~TForm1() {
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void TForm1::SetMessagesWindow(TForm2& window) {
  messagesWindow_ = &window;
  MailboxStateChanged();
}

void TForm1::startBUTTONClick() { session_.RunCheckCycle(); }

void TForm1::stopBUTTONClick() { session_.StopCheck(); }

void TForm1::CaixasChange() { session_.ResetResult(); }

void TForm1::CheckBox1Click() {
  const bool useProxy = CheckBox1->isChecked();
  for (QWidget* control : std::initializer_list<QWidget*>{CheckSAVEPASSP, nameEDIT, passpEDIT, proxyEDIT, portEDIT})
    control->setEnabled(useProxy);
}

void TForm1::CheckBox2Click() { FilenameEdit1->setEnabled(CheckBox2->isChecked()); }

void TForm1::CheckHeadersClick() { HeaderButton->setEnabled(CheckHeaders->isChecked()); }

void TForm1::HeaderButtonClick() { ShowMessagesWindow(); }

void TForm1::PageControlChange() { SecretPanel1->SetActive(PageControl->currentWidget() == TabSheet3); }

// Nothing is reported when no browser opens it.
void TForm1::Button_GOClick() { QDesktopServices::openUrl(QUrl(QString::fromUtf8(kAboutAddress))); }

// The field reports a change of its text on paths that overlap (typing, a new value, the clean-up
// when it loses the focus); only a text that differs from the applied one restarts the countdown.
void TForm1::tempoSpinEditChange() {
  if (tempoSpinEdit->text() != appliedTimeText_) StartTimer1();
}

// The countdown restarts from the interval of the field's text: the minutes as typed, 2 for what
// is not a whole number (an empty field while typing), and no ticks at all for 0.
void TForm1::StartTimer1() {
  appliedTimeText_ = tempoSpinEdit->text();
  const int minutes = ParseWholeNumber(appliedTimeText_.toStdString()).value_or(kMinimumCheckMinutes);
  if (minutes > 0) {
    Timer1->start(minutes * kMillisecondsPerMinute);
  } else {
    Timer1->stop();
  }
}

// The timer keeps running either way; its ticks look at the box.
void TForm1::CheckTIMEClick() {
  const bool automatic = CheckTIME->isChecked();
  Enabled1->setChecked(automatic);
  tempoSpinEdit->setEnabled(automatic);
}

// A tick during a running check is dropped by the session.
void TForm1::Timer1Timer() {
  if (CheckTIME->isChecked()) startBUTTONClick();
}

std::string TForm1::LoginText() const { return Text(loginEDIT); }
std::string TForm1::PasswordText() const { return Text(passEDIT); }
bool TForm1::UseProxyChecked() const { return CheckBox1->isChecked(); }
std::string TForm1::ProxyUserText() const { return Text(nameEDIT); }
std::string TForm1::ProxyPasswordText() const { return Text(passpEDIT); }
std::string TForm1::ProxyHostText() const { return Text(proxyEDIT); }
std::string TForm1::ProxyPortText() const { return Text(portEDIT); }
bool TForm1::ShowHeadersChecked() const { return CheckHeaders->isChecked(); }
bool TForm1::PlaySoundChecked() const { return CheckBox2->isChecked(); }

void TForm1::SetStatusText(const std::string& text) { StatusBar1->showMessage(QString::fromStdString(text)); }
void TForm1::SetCheckEnabled(bool enabled) {
  startBUTTON->setEnabled(enabled);
  CheckNow1->setEnabled(enabled);
}
void TForm1::SetStopEnabled(bool enabled) { stopBUTTON->setEnabled(enabled); }
void TForm1::SetHeaderButtonEnabled(bool enabled) { HeaderButton->setEnabled(enabled); }

// The tray picture and tooltip follow every result, also while the window is shown, so that they
// are current when the program goes to the tray.
void TForm1::MailboxStateChanged() {
  trayIcon.SetIcon(trayIcon.Icons().Icon(session_.State.TrayIconIndex));
  trayIcon.SetHint(QString::fromStdString(session_.State.TrayHint));
  if (messagesWindow_) messagesWindow_->ShowMailboxState();
}

// Once the window has closed the program is ending: nothing more is put in front of the user.
void TForm1::ShowMessage(const std::string& text) {
  if (!closed_) ::ShowMessage(QString::fromStdString(text));
}

void TForm1::ShowMessagesWindow() {
  if (closed_ || !messagesWindow_) return;
  messagesWindow_->ShowMailboxState();
  messagesWindow_->exec();
}

// The file as the field names it now; opening closes the sound of an earlier check.
void TForm1::PlayNewMailSound() {
  MediaPlayer1.Open(FilenameEdit1->FileName().toStdString());
  MediaPlayer1.Play();
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  RunReportingErrors([this] { FormShow(); });
}

// A failed save keeps the window open, with the error shown, so the user loses nothing.
void TForm1::closeEvent(QCloseEvent* event) {
  try {
    FormClose();
  } catch (...) {
    event->ignore();
    ReportApplicationError(std::current_exception());
    return;
  }
  closed_ = true;
  EndRunningWork();
  event->accept();
  QApplication::quit();  // does nothing while the program's event loop is not running (tests)
}

// Close and the tray's Close end the request first; an error of the abort changes nothing.
void TForm1::AbortRequest() {
  try {
    session_.httpClient.Abort();
  } catch (...) {
  }
}

// A check waiting for the network, for a message box or for the Messages window would keep the
// program alive behind a closed window (a close by signal can come while one is open).
void TForm1::EndRunningWork() {
  AbortRequest();
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible()) dialog->reject();
}
