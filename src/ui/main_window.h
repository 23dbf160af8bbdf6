// SPDX-License-Identifier: MIT
#pragma once
// The main window: the account and option fields, Check, Stop and Headers, the status bar, the
// automatic-check timer, the tray icon with its menu and the new-mail sound. The webmail work is
// WebmailSession's; the window shows it through MainView.

#include <QCoreApplication>
#include <QWidget>

#include <memory>
#include <string>

#include "keyring/secret_service_keyring.h"
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
class QStatusBar;
class QTabWidget;
class QTimer;
class FileNameEdit;
class MessagesWindow;
class MinutesSpinBox;
class CreditsPanel;
class DesktopNotification;

// The web address of the About tab.
inline constexpr const char* kAboutAddress = "https://vexmira.example/";
// The file chooser's filter: description, then patterns; translated when shown.
inline constexpr const char* kWaveFileFilter = QT_TRANSLATE_NOOP("MainWindow", "Wave Files (*.wav)|*.wav");
inline constexpr int kMinimumCheckMinutes = 2;

class MainWindow : public QWidget, public MainView {
  Q_DECLARE_TR_FUNCTIONS(MainWindow)

 public:
  // Without a shell the tray icon uses the desktop's notification area.
  explicit MainWindow(std::unique_ptr<TrayShell> trayShell = nullptr);
  ~MainWindow() override;

  // The Messages window, created after this one; the check cycle and Headers show it.
  void SetMessagesWindow(MessagesWindow& window);
  WebmailSession& Session() { return session_; }
  const std::string& SettingsPath() const { return settingsStore_.Path(); }
  bool Closed() const { return closed_; }
  bool SaveFailed() const { return saveFailed_; }  // the close could not save the settings

  // Handlers.
  void CheckNow();
  void StopCheck();
  void AccountChanged();
  void UseProxyToggled();
  void PlaySoundToggled();
  void ShowHeadersToggled();
  void ShowHeaders();
  void TabChanged();
  void VisitWebSite();
  void CheckIntervalChanged();
  void AutoCheckToggled();
  void AutoCheckDue();
  void TrayAutoCheckToggled();
  void StartAtLoginToggled();  // throws win::AutostartError
  void Minimized();
  void RestoreFromTray();
  void CloseFromTray();
  void LocateSettingsFile();
  void LoadSettingsOnce();   // throws SettingsReadError after applying what could be read
  void SaveSettingsOnClose();  // throws SettingsWriteError

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
  void ShowError(std::exception_ptr error) override;
  void PlayNewMailSound() override;
  void NotifyNewMail(const std::string& text) override;

  // Controls; each one's object name is its member's name.
  QTabWidget* tabs;
  QWidget* checkTab;
  QWidget* optionsTab;
  QWidget* desktopTab;
  QWidget* aboutTab;
  QStatusBar* statusBar;
  QLabel* loginLabel;
  QLineEdit* loginEdit;
  QLabel* passwordLabel;
  QLineEdit* passwordEdit;
  QLabel* checkIntervalLabel;
  MinutesSpinBox* checkIntervalEdit;
  QCheckBox* autoCheckBox;
  QCheckBox* savePasswordBox;
  QCheckBox* showHeadersBox;
  QPushButton* checkButton;
  QPushButton* stopButton;
  QPushButton* headersButton;
  QCheckBox* useProxyBox;
  QLabel* proxyUserLabel;
  QLineEdit* proxyUserEdit;
  QLabel* proxyPasswordLabel;
  QLineEdit* proxyPasswordEdit;
  QLabel* proxyHostLabel;
  QLineEdit* proxyHostEdit;
  QLabel* proxyPortLabel;
  QLineEdit* proxyPortEdit;
  QCheckBox* saveProxyPasswordBox;
  QCheckBox* playSoundBox;
  FileNameEdit* soundFileEdit;
  QCheckBox* startAtLoginBox;
  QCheckBox* notifyBox;
  QPushButton* webSiteButton;
  QLabel* webAddressLabel;
  CreditsPanel* creditsPanel;
  QTimer* autoCheckTimer;
  TrayIcon trayIcon;
  QMenu* trayMenu;
  QAction* restoreAction;
  QAction* checkNowAction;
  QAction* autoCheckAction;
  QAction* closeAction;
  SoundDevice newMailSound;

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildWindow();
  void BuildCheckTab();
  void BuildOptionsTab();
  void BuildDesktopTab();
  void BuildAboutTab();
  void NotificationClicked();
  void BuildTray();
  void ConnectHandlers();
  void ApplySettings(const Settings& settings);
  Settings FieldsAsSettings() const;
  void StartAutoCheckTimer();
  void AbortRequest();
  void EndRunningWork();
  void CheckWhenModalCloses(QWidget* modal);

  WebmailSession session_{*this};
  MessagesWindow* messagesWindow_ = nullptr;
  std::unique_ptr<DesktopNotification> notification_;  // made at the first notification
  SecretServiceKeyring keyring_;
  SettingsStore settingsStore_;
  bool settingsLoaded_ = false;
  bool settingsApplied_ = false;  // the fields hold what the file said: only then is a save right
  bool closing_ = false;
  bool closed_ = false;
  bool saveFailed_ = false;
  bool checkWaits_ = false;  // a tick came while a modal window was open
  QString appliedIntervalText_;  // the Time field's text that set autoCheckTimer
};
