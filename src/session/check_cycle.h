// SPDX-License-Identifier: MIT
#pragma once
// The webmail session of the main window: the check cycle (login POST, failure test, mailbox
// scan, telling the user, logout), Stop, and the reset of the result when the account changes.

#include <string>

#include "http/http_client.h"
#include "session/mailbox_scan.h"
#include "session/main_view.h"
#include "session/operation_view.h"
#include "session/page_text.h"

inline constexpr const char* kRequestFailedText = "Error in Internet Connection or Operation Aborted";
inline constexpr const char* kRequestFailedHint = "Error in internet connection or Operation Aborted";
inline constexpr const char* kLoginFailedText = "Sorry, login failed!";
inline constexpr const char* kNotCheckedLine = "Not Checked";
inline constexpr const char* kNotCheckedHint = "Not checked";
inline constexpr int kRequestTimeLimitSeconds = 60;       // without any progress
inline constexpr int kRequestTotalTimeLimitSeconds = 180;  // for a whole request

// The selected index of each list of the Messages window that a preview reads (-1: none).
struct MessageSelection {
  long senders = -1, dates = -1, subjects = -1, links = -1;
};

class WebmailSession {
 public:
  explicit WebmailSession(MainView& view);
  WebmailSession(const WebmailSession&) = delete;
  WebmailSession& operator=(const WebmailSession&) = delete;

  // One check. A trigger while a cycle runs (a timer tick, a second click) is dropped: the
  // running cycle's result is the one the user gets. A sound that cannot be played is shown as
  // an error and the cycle goes on; an error of the logout leaves the cycle and reaches the caller.
  void RunCheckCycle();
  void Logout();
  // The Stop button: aborts a running request and brings the controls and the result to rest.
  void StopCheck();
  // The account changed: the last result no longer applies.
  void ResetResult();
  // Headers is enabled exactly when Show Headers is checked and no cycle runs.
  void UpdateHeaderButton();

  // The client's proxy properties from the Options tab; without "Use Proxy" none, port 80.
  void ApplyProxySettings();
  bool CycleRunning() const { return cycleRunning_; }

  // Delete and Preview of the Messages window, run within a check's session. A second one
  // while a request runs is refused with the busy error before it changes anything.
  void DeleteCheckedMessages(OperationView& windows);
  void PreviewMessage(const MessageSelection& selected, OperationView& windows);
  static std::string LoginBody(const std::string& login, const std::string& password);

  HttpClient httpClient;
  PageText mailboxPage;
  MailboxState State;
  PageText messagePage;     // the page of the last previewed message
  std::string PreviewText;  // what the preview window shows; lines end in CR LF

 private:
  void SetStatus(const std::string& text);
  bool PostLogin();
  void EnableCheckControls();
  void ControlsToRest();
  void ReportRequestFailure();
  void ReportLoginFailure();
  void TellResult();
  void PlaySound();
  void AppendStatusLine(const std::string& line, const std::string& hint);
  void RefuseWhileBusy() const;
  std::string GetPage(const std::string& url);

  MainView& view_;
  bool cycleRunning_ = false;
};
