// SPDX-License-Identifier: MIT
#include "ui/messages_window.h"

#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>

#include <initializer_list>
#include <stdexcept>

#include "session/service.h"
#include "ui/accessible_texts.h"
#include "ui/check_list_box.h"
#include "ui/components/application_errors.h"
#include "ui/latin1_text.h"
#include "ui/list_selection.h"
#include "ui/preview_window.h"
#include "ui/session_texts.h"
#include "ui/status_panel.h"
#include "ui/text_list_box.h"
#include "ui/window_placement.h"

namespace {

Qt::CheckState QtCheckState(CheckState state) {
  switch (state) {
    case CheckState::Checked: return Qt::Checked;
    case CheckState::Grayed: return Qt::PartiallyChecked;
    case CheckState::Unchecked: break;
  }
  return Qt::Unchecked;
}

CheckState SessionCheckState(Qt::CheckState state) {
  switch (state) {
    case Qt::Checked: return CheckState::Checked;
    case Qt::PartiallyChecked: return CheckState::Grayed;
    case Qt::Unchecked: break;
  }
  return CheckState::Unchecked;
}

// Filled by the program: no selection-change handler runs.
void Fill(QListWidget& list, const std::vector<std::string>& entries) {
  const QSignalBlocker quiet(list);
  list.clear();
  for (const std::string& entry : entries) list.addItem(TextFromBytes(entry));
}

// The lines after the rows are the session's status lines ("Not Checked"), shown translated.
void Fill(CheckListBox& list, const MessageList& messages) {
  const QSignalBlocker quiet(list);
  list.clear();
  for (std::size_t i = 0; i < messages.senders.size(); ++i) {
    const SenderItem& entry = messages.senders[i];
    const QString text = i < messages.RowCount() ? TextFromBytes(entry.text) : SessionText(entry.text);
    list.AddItem(text, QtCheckState(entry.state), entry.enabled);
  }
}

void CopySelection(const QListWidget& source, std::initializer_list<QListWidget*> targets) {
  const int row = SelectedRow(source);
  for (QListWidget* target : targets) SelectRowQuietly(*target, row);
}

}  // namespace

MessagesWindow::MessagesWindow(WebmailSession& session, const MainView& mainWindow) : session_(session), mainWindow_(mainWindow) {
  BuildWindow();
  DescribeMessagesWindow(*this);
  ConnectHandlers();
  ShowMailboxState();
}

void MessagesWindow::SetOperationWindows(StatusPanel& statusPanel, PreviewWindow& previewWindow) {
  statusPanel_ = &statusPanel;
  previewWindow_ = &previewWindow;
}

void MessagesWindow::ShowMailboxState() {
  const MailboxState& state = session_.State;
  Fill(*senders, state.Messages);
  Fill(*dates, state.Messages.dates);
  Fill(*subjects, state.Messages.subjects);
  Fill(*sizes, state.Messages.sizes);
  Fill(*fieldNames, state.Messages.fieldNames);
  Fill(*links, state.Messages.links);
  deleteButton->setEnabled(state.MessageButtonsEnabled);
  previewButton->setEnabled(state.MessageButtonsEnabled);
}

void MessagesWindow::showEvent(QShowEvent* event) {
  if (!placed_) CentreOnScreen(*this);
  placed_ = true;
  QDialog::showEvent(event);
  RunReportingErrors([this] { ShowHeading(); });
}

// A window manager may offer to minimise any window; minimised, this modal one would lock the
// user out of the program, so it comes straight back.
void MessagesWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMinimized())
    QMetaObject::invokeMethod(this, [this] { setWindowState(windowState() & ~Qt::WindowMinimized); }, Qt::QueuedConnection);
}

// The login as the main window's field holds it now, even if it changed since the last check.
void MessagesWindow::ShowHeading() {
  const QString address =
      TextFromBytes(mainWindow_.LoginText()) + QLatin1Char('@') + QString::fromLatin1(service::kMailDomain);
  heading->setText(tr("New Messages for %1").arg(address));
}

void MessagesWindow::SenderSelected() { CopySelection(*senders, {links, fieldNames, dates, subjects, sizes}); }
void MessagesWindow::DateSelected() { CopySelection(*dates, {links, fieldNames, senders, subjects, sizes}); }
void MessagesWindow::SubjectSelected() { CopySelection(*subjects, {links, fieldNames, dates, senders, sizes}); }
void MessagesWindow::SizeSelected() { CopySelection(*sizes, {links, fieldNames, dates, subjects, senders}); }

// The session keeps the check states: a deletion reads them there.
void MessagesWindow::SenderCheckChanged(int row) {
  session_.State.Messages.senders.at(static_cast<std::size_t>(row)).state = SessionCheckState(senders->State(row));
}

void MessagesWindow::DeleteChecked() { session_.DeleteCheckedMessages(OperationWindows()); }

void MessagesWindow::PreviewSelected() {
  const MessageSelection selected{SelectedRow(*senders), SelectedRow(*dates), SelectedRow(*subjects),
                                  SelectedRow(*links)};
  session_.PreviewMessage(selected, OperationWindows());
}

// Whether a browser opened is not reported.
void MessagesWindow::OpenHomePage() { QDesktopServices::openUrl(QUrl(QString::fromLatin1(service::kHomePage))); }

void MessagesWindow::CloseWindow() { accept(); }

void MessagesWindow::ShowStatus(const std::string& text) { statusPanel_->ShowStatus(SessionText(text)); }

void MessagesWindow::HideStatus() { statusPanel_->HideStatus(); }

void MessagesWindow::ShowPreviewWindow() { previewWindow_->ShowPreview(TextFromBytes(session_.PreviewText)); }

OperationView& MessagesWindow::OperationWindows() {
  if (!statusPanel_ || !previewWindow_)
    throw std::logic_error("The Messages window has no status panel and preview window to show its work in");
  return *this;
}
