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

#include "ui/components/application_errors.h"
#include "ui/components/secret_panel.h"
#include "ui/filename_edit.h"
#include "ui/message_boxes.h"
#include "ui/messages_window.h"

namespace {

std::string Text(const QLineEdit* field) { return field->text().toStdString(); }

}  // namespace

TForm1::TForm1() {
  BuildWindow();
  ConnectHandlers();
  FormCreate();
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

// Setting the interval restarts the countdown from the new value.
void TForm1::tempoSpinEditChange() { Timer1->start(tempoSpinEdit->value() * kMillisecondsPerMinute); }

void TForm1::CheckTIMEClick() { tempoSpinEdit->setEnabled(CheckTIME->isChecked()); }

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
void TForm1::SetCheckEnabled(bool enabled) { startBUTTON->setEnabled(enabled); }
void TForm1::SetStopEnabled(bool enabled) { stopBUTTON->setEnabled(enabled); }
void TForm1::SetHeaderButtonEnabled(bool enabled) { HeaderButton->setEnabled(enabled); }

// The tray picture and tooltip stay in the session's state until the tray icon shows them.
void TForm1::MailboxStateChanged() {
  if (messagesWindow_) messagesWindow_->ShowMessages(session_.State.Messages);
}

// Until the tray icon exists the window is never in the tray.
bool TForm1::TrayActive() const { return false; }

// Once the window has closed the program is ending: nothing more is put in front of the user.
void TForm1::ShowMessage(const std::string& text) {
  if (!closed_) ::ShowMessage(QString::fromStdString(text));
}

void TForm1::ShowMessagesWindow() {
  if (closed_ || !messagesWindow_) return;
  messagesWindow_->ShowMessages(session_.State.Messages);
  messagesWindow_->exec();
}

void TForm1::PlayNewMailSound() { ++soundRequests_; }

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
}

// A check waiting for the network, for a message box or for the Messages window would keep the
// program alive behind a closed window (a close by signal can come while one is open).
void TForm1::EndRunningWork() {
  try {
    session_.HttpCli1.Abort();
  } catch (...) {
    // The program is ending; an error of the abort changes nothing.
  }
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible()) dialog->reject();
}
