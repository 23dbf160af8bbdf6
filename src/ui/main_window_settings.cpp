// The main window's settings: the path at creation, the load at the first showing, the save at
// every close.

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

#include "ui/filename_edit.h"
#include "ui/main_window.h"

namespace {

QString FromBytes(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void MainWindow::LocateSettingsFile() { settingsPath_ = SettingsFilePath(); }

void MainWindow::LoadSettingsOnce() {
  if (settingsLoaded_) return;
  settingsLoaded_ = true;
  ApplySettings(LoadSettings(settingsPath_));
  StartAutoCheckTimer();  // the countdown starts now
}

void MainWindow::SaveSettingsOnClose() { SaveSettings(settingsPath_, FieldsAsSettings()); }

// Set as the user would: a value that differs runs the field's handler (AccountChanged, the check
// boxes' enabling rules); an equal one changes nothing. The spin box keeps TIME within 2 to 60.
void MainWindow::ApplySettings(const Settings& s) {
  loginEdit->setText(FromBytes(s.UserId));
  savePasswordBox->setChecked(s.SavePass);
  passwordEdit->setText(FromBytes(s.Pass));
  checkIntervalEdit->setValue(s.Time);
  autoCheckBox->setChecked(s.TimeEnabled);
  proxyUserEdit->setText(FromBytes(s.ProxyUser));
  saveProxyPasswordBox->setChecked(s.SaveProxyPass);
  proxyPasswordEdit->setText(FromBytes(s.ProxyPass));
  proxyHostEdit->setText(FromBytes(s.ProxyHost));
  proxyPortEdit->setText(FromBytes(s.ProxyPort));
  soundFileEdit->SetFileName(FromBytes(s.WavFile));
  useProxyBox->setChecked(s.UseProxy);
  playSoundBox->setChecked(s.WavPlay);
  showHeadersBox->setChecked(s.Headers);
  startAtLoginBox->setChecked(s.StartAtLogin);
}

Settings MainWindow::FieldsAsSettings() const {
  Settings s;
  s.UserId = LoginText();
  s.SavePass = savePasswordBox->isChecked();
  s.Pass = PasswordText();
  s.Time = checkIntervalEdit->value();
  s.TimeEnabled = autoCheckBox->isChecked();
  s.Headers = showHeadersBox->isChecked();
  s.ProxyUser = ProxyUserText();
  s.SaveProxyPass = saveProxyPasswordBox->isChecked();
  s.ProxyPass = ProxyPasswordText();
  s.ProxyHost = ProxyHostText();
  s.ProxyPort = ProxyPortText();
  s.WavFile = soundFileEdit->FileName().toStdString();
  s.UseProxy = useProxyBox->isChecked();
  s.WavPlay = playSoundBox->isChecked();
  s.StartAtLogin = startAtLoginBox->isChecked();
  return s;
}
