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

void TForm1::FormCreate() { SettingsPath_ = SettingsFilePath(); }

void TForm1::FormShow() {
  if (SettingsLoaded_) return;
  SettingsLoaded_ = true;
  ApplySettings(LoadSettings(SettingsPath_));
  StartTimer1();  // the countdown starts now
}

void TForm1::FormClose() { SaveSettings(SettingsPath_, FieldsAsSettings()); }

// Set as the user would: a value that differs runs the field's handler (CaixasChange, the check
// boxes' enabling rules); an equal one changes nothing. The spin box keeps TIME within 2 to 60.
void TForm1::ApplySettings(const Settings& s) {
  loginEDIT->setText(FromBytes(s.UserId));
  CheckSavePass->setChecked(s.SavePass);
  passEDIT->setText(FromBytes(s.Pass));
  tempoSpinEdit->setValue(s.Time);
  CheckTIME->setChecked(s.TimeEnabled);
  nameEDIT->setText(FromBytes(s.ProxyUser));
  CheckSAVEPASSP->setChecked(s.SaveProxyPass);
  passpEDIT->setText(FromBytes(s.ProxyPass));
  proxyEDIT->setText(FromBytes(s.ProxyHost));
  portEDIT->setText(FromBytes(s.ProxyPort));
  FilenameEdit1->SetFileName(FromBytes(s.WavFile));
  CheckBox1->setChecked(s.UseProxy);
  CheckBox2->setChecked(s.WavPlay);
  CheckHeaders->setChecked(s.Headers);
}

Settings TForm1::FieldsAsSettings() const {
  Settings s;
  s.UserId = LoginText();
  s.SavePass = CheckSavePass->isChecked();
  s.Pass = PasswordText();
  s.Time = tempoSpinEdit->value();
  s.TimeEnabled = CheckTIME->isChecked();
  s.Headers = CheckHeaders->isChecked();
  s.ProxyUser = ProxyUserText();
  s.SaveProxyPass = CheckSAVEPASSP->isChecked();
  s.ProxyPass = ProxyPasswordText();
  s.ProxyHost = ProxyHostText();
  s.ProxyPort = ProxyPortText();
  s.WavFile = FilenameEdit1->FileName().toStdString();
  s.UseProxy = CheckBox1->isChecked();
  s.WavPlay = CheckBox2->isChecked();
  return s;
}
