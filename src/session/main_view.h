// SPDX-License-Identifier: MIT
#pragma once
// What the webmail logic needs of the windows. The Qt windows implement it; tests use a
// recording fake. Nothing here knows of widgets.

#include <exception>
#include <string>

class MainView {
 public:
  virtual ~MainView() = default;

  // Fields of the main window, as they stand.
  virtual std::string LoginText() const = 0;
  virtual std::string PasswordText() const = 0;
  virtual bool UseProxyChecked() const = 0;
  virtual std::string ProxyUserText() const = 0;
  virtual std::string ProxyPasswordText() const = 0;
  virtual std::string ProxyHostText() const = 0;
  virtual std::string ProxyPortText() const = 0;
  virtual bool ShowHeadersChecked() const = 0;
  virtual bool PlaySoundChecked() const = 0;

  // Controls.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetCheckEnabled(bool enabled) = 0;  // the Check button and the tray's Check Now
  virtual void SetStopEnabled(bool enabled) = 0;
  virtual void SetHeaderButtonEnabled(bool enabled) = 0;

  // The message lists, the tray picture and tooltip, and Delete/Preview show MailboxState anew.
  virtual void MailboxStateChanged() = 0;

  virtual bool TrayActive() const = 0;
  // Modal: they return when the user has closed them.
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void ShowMessagesWindow() = 0;
  // The general error report: the error's text in the error box.
  virtual void ShowError(std::exception_ptr error) = 0;
  // Opens the chosen WAV file and starts it playing; throws SoundDeviceError when it cannot open.
  virtual void PlayNewMailSound() = 0;
  // New mail found while the window sits in the tray: `text` is the tooltip's. A notification on
  // the desktop where the user asked for one; nothing otherwise.
  virtual void NotifyNewMail(const std::string& text) = 0;
};
