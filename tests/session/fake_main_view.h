// SPDX-License-Identifier: MIT
#pragma once
// A main window that records what the webmail logic does to it, in order.

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "session/check_cycle.h"

class FakeMainView : public MainView {
 public:
  // Fields.
  std::string login = "alice", password = "wonderland";
  bool useProxy = true;
  std::string proxyUser, proxyPassword, proxyHost = "127.0.0.1", proxyPort;
  bool showHeaders = false, playSound = false, inTray = false;

  // What happened.
  std::vector<std::string> events;
  std::string status;
  bool checkEnabled = true, stopEnabled = false, headerEnabled = false;
  const WebmailSession* session = nullptr;
  std::function<void()> onMessagesWindow;  // runs inside the modal Messages window
  std::function<void()> onSound;

  std::vector<std::string> Messages() const {
    std::vector<std::string> boxes;
    for (const std::string& e : events)
      if (e.starts_with("box:")) boxes.push_back(e.substr(4));
    return boxes;
  }
  std::vector<std::string> SenderLines() const {
    std::vector<std::string> lines;
    for (const SenderItem& item : session->State.Messages.senders) lines.push_back(item.text);
    return lines;
  }

  std::string LoginText() const override { return login; }
  std::string PasswordText() const override { return password; }
  bool UseProxyChecked() const override { return useProxy; }
  std::string ProxyUserText() const override { return proxyUser; }
  std::string ProxyPasswordText() const override { return proxyPassword; }
  std::string ProxyHostText() const override { return proxyHost; }
  std::string ProxyPortText() const override { return proxyPort; }
  bool ShowHeadersChecked() const override { return showHeaders; }
  bool PlaySoundChecked() const override { return playSound; }
  void SetStatusText(const std::string& text) override {
    status = text;
    events.push_back("status:" + text);
  }
  void SetCheckEnabled(bool enabled) override { checkEnabled = enabled; }
  void SetStopEnabled(bool enabled) override { stopEnabled = enabled; }
  void SetHeaderButtonEnabled(bool enabled) override { headerEnabled = enabled; }
  void MailboxStateChanged() override {}
  bool TrayActive() const override { return inTray; }
  void ShowMessage(const std::string& text) override { events.push_back("box:" + text); }
  void ShowMessagesWindow() override {
    events.push_back("messages-window");
    if (onMessagesWindow) onMessagesWindow();
  }
  void ShowError(std::exception_ptr error) override {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      events.push_back(std::string("error:") + e.what());
    }
  }
  void NotifyNewMail(const std::string& text) override { events.push_back("notify " + text); }
  void PlayNewMailSound() override {
    events.push_back("sound");
    if (onSound) onSound();
  }
};
