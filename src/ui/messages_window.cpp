#include "ui/messages_window.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>

#include <initializer_list>
#include <stdexcept>

#include "session/service.h"
#include "ui/check_list_box.h"
#include "ui/components/application_errors.h"
#include "ui/display_text.h"
#include "ui/list_selection.h"
#include "ui/preview_window.h"
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
  for (const std::string& entry : entries) list.addItem(DisplayText(entry));
}

void Fill(CheckListBox& list, const std::vector<SenderItem>& entries) {
  const QSignalBlocker quiet(list);
  list.clear();
  for (const SenderItem& entry : entries)
    list.AddItem(DisplayText(entry.text), QtCheckState(entry.state), entry.enabled);
}

void CopySelection(const QListWidget& source, std::initializer_list<QListWidget*> targets) {
  const int row = SelectedRow(source);
  for (QListWidget* target : targets) SelectRowQuietly(*target, row);
}

}  // namespace

TForm2::TForm2(WebmailSession& session, const MainView& mainWindow) : session_(session), mainWindow_(mainWindow) {
  BuildWindow();
  ConnectHandlers();
  ShowMailboxState();
}

void TForm2::SetOperationWindows(TForm3& statusPanel, TForm4& previewWindow) {
  statusPanel_ = &statusPanel;
  previewWindow_ = &previewWindow;
}

void TForm2::ShowMailboxState() {
  const MailboxState& state = session_.State;
  Fill(*senders, state.Messages.senders);
  Fill(*dates, state.Messages.dates);
  Fill(*subjects, state.Messages.subjects);
  Fill(*sizes, state.Messages.sizes);
  Fill(*fieldNames, state.Messages.fieldNames);
  Fill(*links, state.Messages.links);
  ButtonDelete->setEnabled(state.MessageButtonsEnabled);
  ButtonPreview->setEnabled(state.MessageButtonsEnabled);
}

void TForm2::showEvent(QShowEvent* event) {
  CentreOnScreen(*this);
  QDialog::showEvent(event);
  RunReportingErrors([this] { FormShow(); });
}

// The login as the main window's field holds it now, even if it changed since the last check.
void TForm2::FormShow() {
  Panel1->setText(QStringLiteral("New Messages for ") + QString::fromStdString(mainWindow_.LoginText()) +
                  QLatin1Char('@') + QString::fromLatin1(service::kMailDomain));
}

void TForm2::ListBox1Click() { CopySelection(*senders, {links, fieldNames, dates, subjects, sizes}); }
void TForm2::ListBox2Click() { CopySelection(*dates, {links, fieldNames, senders, subjects, sizes}); }
void TForm2::ListBox3Click() { CopySelection(*subjects, {links, fieldNames, dates, senders, sizes}); }
void TForm2::ListBox4Click() { CopySelection(*sizes, {links, fieldNames, dates, subjects, senders}); }

// The session keeps the check states: a deletion reads them there.
void TForm2::ListBox1ClickCheck(int row) {
  session_.State.Messages.senders.at(static_cast<std::size_t>(row)).state = SessionCheckState(senders->State(row));
}

void TForm2::ButtonDeleteClick() { session_.DeleteCheckedMessages(OperationWindows()); }

void TForm2::ButtonPreviewClick() {
  const MessageSelection selected{SelectedRow(*senders), SelectedRow(*dates), SelectedRow(*subjects),
                                  SelectedRow(*links)};
  session_.PreviewMessage(selected, OperationWindows());
}

// Whether a browser opened is not reported.
void TForm2::ButtonHOTClick() { QDesktopServices::openUrl(QUrl(QString::fromLatin1(service::kHomePage))); }

void TForm2::BitBtn2Click() { accept(); }

void TForm2::ShowStatus(const std::string& text) { statusPanel_->ShowStatus(QString::fromStdString(text)); }

void TForm2::HideStatus() { statusPanel_->HideStatus(); }

void TForm2::ShowPreviewWindow() { previewWindow_->ShowPreview(DisplayText(session_.PreviewText)); }

OperationView& TForm2::OperationWindows() {
  if (!statusPanel_ || !previewWindow_)
    throw std::logic_error("The Messages window has no status panel and preview window to show its work in");
  return *this;
}
