// SPDX-License-Identifier: MIT
#include "session/check_cycle.h"

#include "http/streams.h"
#include "session/form_encoding.h"
#include "session/service.h"
#include "session/service_url.h"

namespace {

// Marks the cycle as running; however it ends (also by an error of the logout), the mark goes
// and Headers follows its rule again, so that no later check is locked out.
class RunningCycle {
 public:
  RunningCycle(bool& flag, WebmailSession& session) : flag_(flag), session_(session) { flag_ = true; }
  ~RunningCycle() {
    flag_ = false;
    session_.UpdateHeaderButton();
  }
  RunningCycle(const RunningCycle&) = delete;
  RunningCycle& operator=(const RunningCycle&) = delete;

 private:
  bool& flag_;
  WebmailSession& session_;
};

// The lent streams go back to null however the request ends: the client never keeps a
// reference to a released stream.
class LentStreams {
 public:
  LentStreams(HttpClient& http, Stream* post, Stream* receive) : http_(http) {
    http_.PostStream = post;
    http_.ReceiveStream = receive;
  }
  ~LentStreams() {
    http_.PostStream = nullptr;
    http_.ReceiveStream = nullptr;
  }
  LentStreams(const LentStreams&) = delete;
  LentStreams& operator=(const LentStreams&) = delete;

 private:
  HttpClient& http_;
};

}  // namespace

WebmailSession::WebmailSession(MainView& view) : view_(view) {
  httpClient.ProxyPort = "80";
  httpClient.NoCache = true;
  httpClient.ContentTypePost = "application/x-www-form-urlencoded";
  httpClient.SetMultiThreaded(true);
  httpClient.TimeLimit = kRequestTimeLimitSeconds;
  httpClient.TotalTimeLimit = kRequestTotalTimeLimitSeconds;
  State.TrayIconIndex = kIconNewMail;  // the tray icon's picture before any check
  State.Messages.senders.push_back({kNotCheckedLine, CheckState::Unchecked, false});
}

std::string WebmailSession::LoginBody(const std::string& login, const std::string& password) {
  return "login=" + EncodeFormValue(login) + "&passwd=" + EncodeFormValue(password) +
         "&enter=Enter&frames=no&curmbox=ACTIVE&js=no";
}

void WebmailSession::SetStatus(const std::string& text) {
  State.StatusText = text;
  view_.SetStatusText(text);
}

void WebmailSession::ApplyProxySettings() {
  if (view_.UseProxyChecked()) {
    httpClient.ProxyUsername = view_.ProxyUserText();
    httpClient.ProxyPassword = view_.ProxyPasswordText();
    httpClient.Proxy = view_.ProxyHostText();
    httpClient.ProxyPort = view_.ProxyPortText();
  } else {
    httpClient.ProxyUsername.clear();
    httpClient.ProxyPassword.clear();
    httpClient.Proxy.clear();
    httpClient.ProxyPort = "80";
  }
}

// The login POST and the load of its answer into the page text; false when any of it failed.
// The reason is not shown: every failure of the request reads the same to the user.
bool WebmailSession::PostLogin() {
  mailboxPage.Clear();
  // Bounded by what the page text can hold, so an endless answer fails instead of filling memory.
  MemoryStream receive(PageText::kCapacity);
  MemoryStream body;
  SetStatus("Connecting...");
  body.WriteString(LoginBody(view_.LoginText(), view_.PasswordText()));
  body.Seek(0);
  const LentStreams lent(httpClient, &body, &receive);
  ApplyProxySettings();
  httpClient.URL = std::string("http://") + service::kLoginServer + "/cgi-bin/start";
  view_.SetCheckEnabled(false);
  view_.SetHeaderButtonEnabled(false);
  SetStatus("Receiving data...");
  try {
    view_.SetStopEnabled(true);
    httpClient.Post();
    mailboxPage.Load(receive.Bytes());
    return true;
  } catch (...) {
    EnableCheckControls();
    view_.SetStopEnabled(false);
    return false;
  }
}

void WebmailSession::RunCheckCycle() {
  if (cycleRunning_) return;
  const RunningCycle running(cycleRunning_, *this);
  if (!PostLogin()) {
    ReportRequestFailure();
    return;
  }
  SetStatus("Analysing data...");
  if (mailboxPage.Find("We're") > 0) {
    ReportLoginFailure();
    return;
  }
  ScanMailbox(mailboxPage, view_.ShowHeadersChecked(), State);
  view_.SetStatusText(State.StatusText);
  view_.MailboxStateChanged();
  TellResult();
  Logout();
  ControlsToRest();
}

void WebmailSession::TellResult() {
  if (State.NewMailCount > 0) {
    if (view_.PlaySoundChecked()) PlaySound();
    if (view_.TrayActive()) return view_.NotifyNewMail(State.TrayHint);
    if (view_.ShowHeadersChecked()) {
      view_.ShowMessagesWindow();
    } else {
      view_.ShowMessage(NewMailHint(State.NewMailCount));
    }
  } else if (!view_.TrayActive()) {
    view_.ShowMessage(kNoMailText);
  }
}

// The user learns that the sound failed; the result, the logout and the controls' rest follow.
void WebmailSession::PlaySound() {
  try {
    view_.PlayNewMailSound();
  } catch (...) {
    view_.ShowError(std::current_exception());
  }
}

// Check and Check Now, and Headers by its rule.
void WebmailSession::EnableCheckControls() {
  view_.SetCheckEnabled(true);
  UpdateHeaderButton();
}

void WebmailSession::UpdateHeaderButton() { view_.SetHeaderButtonEnabled(view_.ShowHeadersChecked() && !cycleRunning_); }

void WebmailSession::ControlsToRest() {
  EnableCheckControls();
  view_.SetStopEnabled(false);
  SetStatus("Idle");
}

void WebmailSession::AppendStatusLine(const std::string& line, const std::string& hint) {
  State.Messages.AppendStatusLine(line);
  State.TrayIconIndex = kIconNoMail;
  State.TrayHint = hint;
  view_.MailboxStateChanged();
}

void WebmailSession::ReportRequestFailure() {
  if (!view_.TrayActive()) view_.ShowMessage(kRequestFailedText);
  AppendStatusLine(kRequestFailedText, kRequestFailedHint);
  SetStatus("Idle");
  view_.SetStopEnabled(false);
}

void WebmailSession::ReportLoginFailure() {
  EnableCheckControls();
  SetStatus("Idle");
  if (!view_.TrayActive()) view_.ShowMessage(kLoginFailedText);
  AppendStatusLine(kLoginFailedText, kLoginFailedText);
  ControlsToRest();
}

// The answer's bytes, bounded by what the page text can hold. Every URL that comes here is built
// from page content, so it must lead to the service.
std::string WebmailSession::GetPage(const std::string& url) {
  CheckServiceUrl(url);
  MemoryStream receive(PageText::kCapacity);
  const LentStreams lent(httpClient, nullptr, &receive);
  httpClient.URL = url;
  httpClient.Get();
  return receive.Bytes();
}

void WebmailSession::Logout() {
  SetStatus("Logging out...");
  GetPage(State.SessionURL);  // the answer is dropped: the page text keeps the mailbox page
  SetStatus("Idle");
  State.MessageButtonsEnabled = false;
  view_.MailboxStateChanged();
}

void WebmailSession::StopCheck() {
  httpClient.Abort();
  view_.SetStopEnabled(false);
  EnableCheckControls();
  SetStatus("Idle");
  ResetResult();
}

void WebmailSession::ResetResult() {
  State.Messages.Clear();
  State.Messages.AppendStatusLine(kNotCheckedLine);
  State.TrayIconIndex = kIconNoMail;
  State.TrayHint = kNotCheckedHint;
  State.MessageButtonsEnabled = false;
  view_.MailboxStateChanged();
}
