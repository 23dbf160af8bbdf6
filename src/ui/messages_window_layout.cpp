// The Messages window's controls at their design positions (left, top, width, height) and the
// wiring of their handlers.

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

#include "ui/check_list_box.h"
#include "ui/components/application_errors.h"
#include "ui/control_look.h"
#include "ui/messages_window.h"
#include "ui/text_list_box.h"

namespace {

constexpr QSize kClientSize{377, 318};

template <class Control>
Control* Named(Control* control, const char* name, const QRect& geometry) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(geometry);
  return control;
}

QLabel* AddLabel(QWidget* window, const char* name, const char* caption, int left, int top) {
  auto* label = new QLabel(QString::fromUtf8(caption), window);
  label->setObjectName(QString::fromLatin1(name));
  label->move(left, top);
  label->adjustSize();
  return label;
}

QPushButton* AddButton(QWidget* window, const char* name, const char* caption, int left, QStyle::StandardPixmap glyph) {
  QPushButton* button = Named(new QPushButton(QString::fromUtf8(caption), window), name, {left, 280, 75, 25});
  button->setIcon(window->style()->standardIcon(glyph));
  return button;
}

QLabel* AddHeading(QWidget* window) {
  QLabel* heading = Named(new QLabel(window), "Panel1", {0, 3, 377, 49});
  heading->setFrameStyle(QFrame::Panel | QFrame::Raised);
  heading->setAlignment(Qt::AlignCenter);
  heading->setTextFormat(Qt::PlainText);  // the login is the user's text, never markup
  QFont font = DesignFont();
  font.setBold(true);
  font.setPixelSize(13);
  heading->setFont(font);
  QPalette palette = heading->palette();
  palette.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));  // navy
  heading->setPalette(palette);
  return heading;
}

QListWidget* AddHiddenList(QWidget* window, const char* name) {
  auto* list = new QListWidget(window);
  list->setObjectName(QString::fromLatin1(name));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->hide();
  return list;
}

}  // namespace

// Focusable controls are created in the design's tab order, which Qt's focus chain follows.
void MessagesWindow::BuildWindow() {
  setObjectName(QStringLiteral("messagesWindow"));
  setWindowTitle(QStringLiteral("Messages"));
  // Title only, no system menu, minimise, maximise or close box: the window is left through OK.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(DesignFont());
  setFixedSize(kClientSize);

  Label1 = AddLabel(this, "Label1", "From:", 0, 56);
  Label2 = AddLabel(this, "Label2", "Date", 136, 56);
  Label3 = AddLabel(this, "Label3", "Subject", 184, 56);
  Label4 = AddLabel(this, "Label4", "Size", 328, 56);
  dates = Named(new TextListBox(this), "dates", {136, 72, 49, 193});
  subjects = Named(new TextListBox(this), "subjects", {184, 72, 145, 193});
  sizes = Named(new TextListBox(this), "sizes", {328, 72, 49, 193});
  Panel1 = AddHeading(this);
  ButtonHOT = AddButton(this, "ButtonHOT", "HotMail", 271, QStyle::SP_DriveNetIcon);
  ButtonHOT->setToolTip(QStringLiteral("Open HotMail in the default browser"));
  fieldNames = AddHiddenList(this, "fieldNames");
  senders = Named(new CheckListBox(this), "senders", {0, 72, 136, 193});
  ButtonDelete = AddButton(this, "ButtonDelete", "Delete", 111, QStyle::SP_TrashIcon);
  ButtonDelete->setEnabled(false);
  BitBtn2 = AddButton(this, "BitBtn2", "OK", 31, QStyle::SP_DialogOkButton);
  BitBtn2->setDefault(true);  // no tooltip: its hint is not shown
  links = AddHiddenList(this, "links");
  ButtonPreview = AddButton(this, "ButtonPreview", "Preview", 191, QStyle::SP_FileDialogContentsView);
  ButtonPreview->setEnabled(false);
}

// Every handler's error goes to the general error report; the window stays open.
void MessagesWindow::ConnectHandlers() {
  const auto on = [this](auto* sender, auto signal, void (MessagesWindow::*handler)()) {
    connect(sender, signal, this, [this, handler] { RunReportingErrors([this, handler] { (this->*handler)(); }); });
  };
  on(senders, &QListWidget::itemSelectionChanged, &MessagesWindow::ListBox1Click);
  on(dates, &QListWidget::itemSelectionChanged, &MessagesWindow::ListBox2Click);
  on(subjects, &QListWidget::itemSelectionChanged, &MessagesWindow::ListBox3Click);
  on(sizes, &QListWidget::itemSelectionChanged, &MessagesWindow::ListBox4Click);
  on(ButtonDelete, &QPushButton::clicked, &MessagesWindow::ButtonDeleteClick);
  on(ButtonPreview, &QPushButton::clicked, &MessagesWindow::ButtonPreviewClick);
  on(ButtonHOT, &QPushButton::clicked, &MessagesWindow::ButtonHOTClick);
  on(BitBtn2, &QPushButton::clicked, &MessagesWindow::BitBtn2Click);
  senders->OnClickCheck = [this](int row) { RunReportingErrors([this, row] { ListBox1ClickCheck(row); }); };
}
