// SPDX-License-Identifier: MIT
// The main window's settings: the path at creation, the load at the first showing, the save at
// every close.

#include <QCheckBox>
#include <QLineEdit>

#include "ui/filename_edit.h"
#include "ui/latin1_text.h"
#include "ui/main_window.h"
#include "ui/minutes_spin_box.h"

void MainWindow::LocateSettingsFile() { settingsStore_ = SettingsStore(SettingsFilePath(), &keyring_); }

// The load may wait for the keyring, and the program may be asked to end meanwhile: then there
// is nothing to show any more, and nothing was loaded that a save could keep.
void MainWindow::LoadSettingsOnce() {
  if (settingsLoaded_) return;
  settingsLoaded_ = true;
  const LoadedSettings loaded = settingsStore_.Load();
  if (closed_) return;
  ApplySettings(loaded.fields);
  settingsApplied_ = true;
  StartAutoCheckTimer();  // the countdown starts now
  if (loaded.problem) throw *loaded.problem;
}

// Fields that never received the file's settings would overwrite them with the defaults.
void MainWindow::SaveSettingsOnClose() {
  if (settingsApplied_) settingsStore_.Save(FieldsAsSettings());
}

// Set as the user would: a value that differs runs the field's handler (AccountChanged, the check
// boxes' enabling rules); an equal one changes nothing. The spin box keeps TIME within 2 to 60.
void MainWindow::ApplySettings(const Settings& s) {
  loginEdit->setText(TextFromBytes(s.UserId));
  savePasswordBox->setChecked(s.SavePass);
  passwordEdit->setText(TextFromBytes(s.Pass));
  checkIntervalEdit->setValue(s.Time);
  autoCheckBox->setChecked(s.TimeEnabled);
  proxyUserEdit->setText(TextFromBytes(s.ProxyUser));
  saveProxyPasswordBox->setChecked(s.SaveProxyPass);
  proxyPasswordEdit->setText(TextFromBytes(s.ProxyPass));
  proxyHostEdit->setText(TextFromBytes(s.ProxyHost));
  proxyPortEdit->setText(TextFromBytes(s.ProxyPort));
  soundFileEdit->SetFileName(TextFromBytes(s.WavFile));
  useProxyBox->setChecked(s.UseProxy);
  playSoundBox->setChecked(s.WavPlay);
  showHeadersBox->setChecked(s.Headers);
  startAtLoginBox->setChecked(s.StartAtLogin);
  notifyBox->setChecked(s.DesktopNotify);
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
  s.WavFile = BytesFromText(soundFileEdit->FileName());
  s.UseProxy = useProxyBox->isChecked();
  s.WavPlay = playSoundBox->isChecked();
  s.StartAtLogin = startAtLoginBox->isChecked();
  s.DesktopNotify = notifyBox->isChecked();
  return s;
}
