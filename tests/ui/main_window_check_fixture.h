// SPDX-License-Identifier: MIT
#pragma once
// A main window whose checks go to a scripted proxy on loopback, and the pages it answers.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

#include <string>
#include <vector>

#include "mailbox_page.h"
#include "main_window_fixture.h"
#include "scripted_server.h"

inline std::string Ok(const std::string& body) { return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body; }

inline std::string MailboxPage(int count) {
  std::vector<testpage::Row> rows;
  for (int i = 1; i <= count; ++i) rows.push_back(testpage::MakeRow(i));
  return Ok(testpage::Page(std::to_string(count), rows));
}

inline constexpr const char* kTwoNewMails = "You have 2 new mails in your Hotmail account!";

struct MainWindowCheck : MainWindowTest {
  std::unique_ptr<httptest::ScriptedServer> server;

  // Every check goes to the scripted proxy: the service's own addresses are never contacted.
  void OpenWithProxy(std::vector<httptest::Script> scripts, std::unique_ptr<TrayShell> shell = nullptr) {
    server = std::make_unique<httptest::ScriptedServer>(std::move(scripts));
    Open(std::move(shell));
    form->useProxyBox->setChecked(true);
    form->proxyHostEdit->setText("127.0.0.1");
    form->proxyPortEdit->setText(QString::number(server->Port()));
    form->loginEdit->setText("alice");
    form->passwordEdit->setText("a-b");
  }
  bool AtRest() const {
    return form->statusBar->currentMessage() == "Idle" && form->checkButton->isEnabled() &&
           !form->stopButton->isEnabled() && form->headersButton->isEnabled() == form->showHeadersBox->isChecked();
  }
};
