#pragma once
// The main window TForm1: the account and option fields, Check, Stop and Headers, the status
// bar, the automatic-check timer, the tray icon with its menu and the new-mail sound. The
// webmail work is WebmailSession's; the window shows it through MainView and keeps the design's
// control and handler names.

#include <QWidget>

#include <memory>
#include <string>

#include "platform/sound_device.h"
#include "session/check_cycle.h"
#include "session/settings.h"
#include "ui/components/tray_icon.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class QTimer;
class FileNameEdit;
class TForm2;
class CreditsPanel;

// The web address of the About tab.
inline constexpr const char* kAboutAddress = "https://vexmira.example/";
inline constexpr const char* kWaveFileFilter = "Wave Files (*.wav)|*.wav";
inline constexpr int kMillisecondsPerMinute = 60000;
inline constexpr int kMinimumCheckMinutes = 2;

class TForm1 : public QWidget, public MainView {
 public:
  // Without a shell the tray icon uses the desktop's notification area.
  explicit TForm1(std::unique_ptr<TrayShell> trayShell = nullptr);
  ~TForm1() override;

  // The Messages window, created after this one; the check cycle and Headers show it.
  void SetMessagesWindow(TForm2& window);
  WebmailSession& Session() { return session_; }
  const std::string& SettingsPath() const { return SettingsPath_; }
  bool Closed() const { return closed_; }

  // Handlers, under the design's names.
  void startBUTTONClick();
  void stopBUTTONClick();
  void CaixasChange();
  void CheckBox1Click();
  void CheckBox2Click();
  void CheckHeadersClick();
  void HeaderButtonClick();
  void PageControlChange();
  void Button_GOClick();
  void tempoSpinEditChange();
  void CheckTIMEClick();
  void Timer1Timer();
  void Enabled1Click();
  void AppEvents1Minimize();
  void Restore1Click();
  void Close1Click();
  void FormCreate();
  void FormShow();
  void FormClose();  // throws SettingsWriteError

  // MainView.
  std::string LoginText() const override;
  std::string PasswordText() const override;
  bool UseProxyChecked() const override;
  std::string ProxyUserText() const override;
  std::string ProxyPasswordText() const override;
  std::string ProxyHostText() const override;
  std::string ProxyPortText() const override;
  bool ShowHeadersChecked() const override;
  bool PlaySoundChecked() const override;
  void SetStatusText(const std::string& text) override;
  void SetCheckEnabled(bool enabled) override;
  void SetStopEnabled(bool enabled) override;
  void SetHeaderButtonEnabled(bool enabled) override;
  void MailboxStateChanged() override;
  bool TrayActive() const override;
  void ShowMessage(const std::string& text) override;
  void ShowMessagesWindow() override;
  void PlayNewMailSound() override;

  // Controls, under the design's names (also their object names).
  QTabWidget* PageControl;
  QWidget* TabSheet1;  // Check
  QWidget* TabSheet2;  // Options
  QWidget* TabSheet3;  // About
  QStatusBar* StatusBar1;
  QLabel* loginLABEL;
  QLineEdit* loginEDIT;
  QLabel* passwordLABEL;
  QLineEdit* passEDIT;
  QLabel* timeLABEL;
  QSpinBox* tempoSpinEdit;
  QCheckBox* CheckTIME;
  QCheckBox* CheckSavePass;
  QCheckBox* CheckHeaders;
  QPushButton* startBUTTON;
  QPushButton* stopBUTTON;
  QPushButton* HeaderButton;
  QCheckBox* CheckBox1;  // Use Proxy
  QLabel* Label1;
  QLineEdit* nameEDIT;
  QLabel* Label2;
  QLineEdit* passpEDIT;
  QLabel* ProxyLABEL;
  QLineEdit* proxyEDIT;
  QLabel* PortLABEL;
  QLineEdit* portEDIT;
  QCheckBox* CheckSAVEPASSP;
  QCheckBox* CheckBox2;  // Play Sound
  FileNameEdit* FilenameEdit1;
  QPushButton* Button_GO;
  QLabel* StaticText1;
  CreditsPanel* SecretPanel1;
  QTimer* Timer1;
  TrayIcon trayIcon;
  QMenu* PopupMenu1;
  QAction* Restore1;
  QAction* CheckNow1;
  QAction* Enabled1;
  QAction* Close1;
  SoundDevice MediaPlayer1;

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildWindow();
  void BuildCheckTab();
  void BuildOptionsTab();
  void BuildAboutTab();
  void BuildTray();
  void ConnectHandlers();
  void ApplySettings(const Settings& settings);
  Settings FieldsAsSettings() const;
  void StartTimer1();
  void AbortRequest();
  void EndRunningWork();

  WebmailSession session_{*this};
  TForm2* messagesWindow_ = nullptr;
  std::string SettingsPath_;
  bool SettingsLoaded_ = false;
  bool closed_ = false;
  QString appliedTimeText_;  // the Time field's text that set Timer1
};
