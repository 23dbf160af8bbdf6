// SPDX-License-Identifier: MIT
// The main window's controls at their design positions (left, top, width, height within their
// tab) and the wiring of their handlers.

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>

#include "ui/accessible_texts.h"
#include "ui/button_glyphs.h"
#include "ui/components/about_credits.h"
#include "ui/components/application_errors.h"
#include "ui/components/credits_panel.h"
#include "ui/control_look.h"
#include "ui/filename_edit.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"
#include "ui/minutes_spin_box.h"
#include "ui/session_texts.h"
#include "ui/single_line_field.h"

namespace {

constexpr QSize kClientSize{342, 200};
constexpr int kStatusBarHeight = 19;
constexpr int kLoginMaxLength = 16;

template <class Control>
Control* Named(Control* control, const char* name, const QRect& geometry) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(geometry);
  return control;
}

QLabel* AddLabel(QWidget* tab, const char* name, const QString& caption, int left, int top) {
  auto* label = new QLabel(caption, tab);
  label->setObjectName(QString::fromLatin1(name));
  label->move(left, top);
  label->adjustSize();
  return label;
}

QLineEdit* AddField(QWidget* tab, const char* name, const QRect& geometry) {
  QLineEdit* field = Named(new QLineEdit(tab), name, geometry);
  UseFieldColours(field);
  GuardSingleLineField(field);
  return field;
}

QLineEdit* AddPasswordField(QWidget* tab, const char* name, const QRect& geometry) {
  auto* field = new QLineEdit(tab);
  ShowPasswordAsStars(field);  // before the colours: a new style re-polishes the field
  UseFieldColours(field);
  GuardSingleLineField(field);
  return Named(field, name, geometry);
}

QCheckBox* AddCheckBox(QWidget* tab, const char* name, const QString& caption, const QRect& geometry,
                       const QString& hint = QString()) {
  QCheckBox* box = Named(new QCheckBox(caption, tab), name, geometry);
  if (!hint.isEmpty()) box->setToolTip(hint);
  return box;
}

QPushButton* AddButton(QWidget* tab, const char* name, const QString& caption, const QRect& geometry,
                       const QString& hint) {
  QPushButton* button = Named(new QPushButton(caption, tab), name, geometry);
  button->setToolTip(hint);
  return button;
}

void AddRaisedFrame(QWidget* tab, const QRect& geometry) {
  auto* frame = new QFrame(tab);
  frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
  frame->setGeometry(geometry);
}

}  // namespace

void MainWindow::BuildWindow() {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QString::fromUtf8(kApplicationTitle));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(DesignFont());
  setFixedSize(kClientSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, kClientSize, screen->availableGeometry()));

  tabs = Named(new QTabWidget(this), "tabs", {2, 3, 337, 176});
  checkTab = new QWidget;
  optionsTab = new QWidget;
  desktopTab = new QWidget;
  aboutTab = new QWidget;
  checkTab->setObjectName(QStringLiteral("checkTab"));
  optionsTab->setObjectName(QStringLiteral("optionsTab"));
  desktopTab->setObjectName(QStringLiteral("desktopTab"));
  aboutTab->setObjectName(QStringLiteral("aboutTab"));
  tabs->addTab(checkTab, tr("Check"));
  tabs->addTab(optionsTab, tr("Options"));
  tabs->addTab(desktopTab, tr("Desktop"));
  tabs->addTab(aboutTab, tr("About"));
  HighlightTabsUnderMouse(tabs);

  statusBar = Named(new QStatusBar(this), "statusBar",
                     {0, kClientSize.height() - kStatusBarHeight, kClientSize.width(), kStatusBarHeight});
  statusBar->setSizeGripEnabled(false);
  statusBar->showMessage(SessionText("Idle"));

  autoCheckTimer = new QTimer(this);
  autoCheckTimer->setObjectName(QStringLiteral("autoCheckTimer"));

  BuildCheckTab();
  BuildOptionsTab();
  BuildDesktopTab();
  BuildAboutTab();
  DescribeMainWindow(*this);
}

void MainWindow::BuildCheckTab() {
  QWidget* tab = checkTab;
  AddRaisedFrame(tab, {8, 0, 313, 98});
  AddRaisedFrame(tab, {8, 96, 313, 49});
  loginLabel = AddLabel(tab, "loginLabel", tr("Login"), 16, 8);
  loginEdit = AddField(tab, "loginEdit", {16, 24, 121, 21});
  loginEdit->setMaxLength(kLoginMaxLength);
  passwordLabel = AddLabel(tab, "passwordLabel", tr("Password"), 184, 8);
  passwordEdit = AddPasswordField(tab, "passwordEdit", {184, 24, 121, 21});
  passwordEdit->setMaxLength(kLoginMaxLength);
  checkIntervalLabel = AddLabel(tab, "checkIntervalLabel", tr("Time"), 16, 51);
  checkIntervalEdit = Named(new MinutesSpinBox(tab), "checkIntervalEdit", {16, 66, 57, 21});
  checkIntervalEdit->setValue(kDefaultCheckMinutes);
  UseFieldColours(checkIntervalEdit);
  autoCheckBox =
      AddCheckBox(tab, "autoCheckBox", tr("Enabled"), {78, 68, 61, 17}, tr("Enable/Disable automatic check"));
  autoCheckBox->setChecked(true);
  savePasswordBox = AddCheckBox(tab, "savePasswordBox", tr("Save Password"), {184, 51, 97, 17},
                                tr("Enable/Disable password saving"));
  showHeadersBox = AddCheckBox(tab, "showHeadersBox", tr("Show Headers"), {184, 72, 97, 17},
                               tr("Enable/Disable header checking"));
  checkButton = AddButton(tab, "checkButton", tr("&Check"), {24, 108, 75, 25}, tr("Check for new mail"));
  checkButton->setIcon(CheckGlyph());
  stopButton = AddButton(tab, "stopButton", tr("&Stop"), {127, 108, 75, 25}, tr("Stop the current check process"));
  stopButton->setIcon(StopGlyph());
  stopButton->setEnabled(false);
  headersButton = AddButton(tab, "headersButton", tr("&Headers"), {232, 108, 75, 25}, tr("Show messages headers"));
  headersButton->setIcon(HeadersGlyph());
  headersButton->setEnabled(false);
}

void MainWindow::BuildOptionsTab() {
  QWidget* tab = optionsTab;
  AddRaisedFrame(tab, {6, 1, 313, 140});
  useProxyBox = AddCheckBox(tab, "useProxyBox", tr("Use Proxy"), {18, 6, 73, 17});
  proxyUserLabel = AddLabel(tab, "proxyUserLabel", tr("User Name"), 18, 24);
  proxyUserEdit = AddField(tab, "proxyUserEdit", {18, 40, 121, 21});
  proxyPasswordLabel = AddLabel(tab, "proxyPasswordLabel", tr("Password"), 186, 24);
  proxyPasswordEdit = AddPasswordField(tab, "proxyPasswordEdit", {186, 40, 121, 21});
  proxyHostLabel = AddLabel(tab, "proxyHostLabel", tr("Proxy"), 18, 64);
  proxyHostEdit = AddField(tab, "proxyHostEdit", {18, 79, 169, 21});
  proxyPortLabel = AddLabel(tab, "proxyPortLabel", tr("Port"), 250, 65);
  proxyPortEdit = AddField(tab, "proxyPortEdit", {250, 79, 57, 21});
  saveProxyPasswordBox = AddCheckBox(tab, "saveProxyPasswordBox", tr("Save Password"), {184, 7, 97, 17});
  playSoundBox = AddCheckBox(tab, "playSoundBox", tr("Play Sound"), {17, 110, 80, 17});
  soundFileEdit =
      Named(new FileNameEdit(tr(kWaveFileFilter), tab), "soundFileEdit", {99, 108, 208, 21});
  UseProxyToggled();  // the proxy fields and the file name start disabled, as their boxes
  PlaySoundToggled();
}

// How the program lives with the desktop: started with the session, telling through it.
void MainWindow::BuildDesktopTab() {
  QWidget* tab = desktopTab;
  AddRaisedFrame(tab, {6, 1, 313, 140});
  startAtLoginBox = AddCheckBox(tab, "startAtLoginBox", tr("Start at login"), {18, 12, 290, 17});
  notifyBox = AddCheckBox(tab, "notifyBox", tr("Notify on the desktop when new mail arrives"), {18, 36, 290, 17});
}

void MainWindow::BuildAboutTab() {
  QWidget* tab = aboutTab;
  webSiteButton = AddButton(tab, "webSiteButton", tr("&Go to URL"), {8, 9, 75, 26},
                            tr("Go to my URL and send your comments!!"));
  webAddressLabel = Named(new QLabel(QString::fromUtf8(kAboutAddress), tab), "webAddressLabel", {98, 14, 220, 17});
  webAddressLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  creditsPanel = Named(new CreditsPanel(tab), "creditsPanel", {8, 46, 310, 92});
  SetUpAboutCredits(*creditsPanel);
}

// Every handler's error goes to the general error report; the program goes on.
void MainWindow::ConnectHandlers() {
  const auto on = [this](auto* sender, auto signal, void (MainWindow::*handler)()) {
    connect(sender, signal, this, [this, handler] { RunReportingErrors([this, handler] { (this->*handler)(); }); });
  };
  on(checkButton, &QPushButton::clicked, &MainWindow::CheckNow);
  on(stopButton, &QPushButton::clicked, &MainWindow::StopCheck);
  on(headersButton, &QPushButton::clicked, &MainWindow::ShowHeaders);
  on(webSiteButton, &QPushButton::clicked, &MainWindow::VisitWebSite);
  on(loginEdit, &QLineEdit::textChanged, &MainWindow::AccountChanged);
  on(passwordEdit, &QLineEdit::textChanged, &MainWindow::AccountChanged);
  // toggled fires for the user's clicks and for the program's changes alike, as the load needs.
  on(useProxyBox, &QCheckBox::toggled, &MainWindow::UseProxyToggled);
  on(playSoundBox, &QCheckBox::toggled, &MainWindow::PlaySoundToggled);
  on(showHeadersBox, &QCheckBox::toggled, &MainWindow::ShowHeadersToggled);
  on(autoCheckBox, &QCheckBox::toggled, &MainWindow::AutoCheckToggled);
  on(tabs, &QTabWidget::currentChanged, &MainWindow::TabChanged);
  // The Time field's text changes by typing (its editor), by a new value (arrows, the load) and by
  // the clean-up when it loses the focus, which only editingFinished reports.
  on(checkIntervalEdit->findChild<QLineEdit*>(), &QLineEdit::textChanged, &MainWindow::CheckIntervalChanged);
  on(checkIntervalEdit, &QSpinBox::valueChanged, &MainWindow::CheckIntervalChanged);
  on(checkIntervalEdit, &QSpinBox::editingFinished, &MainWindow::CheckIntervalChanged);
  on(autoCheckTimer, &QTimer::timeout, &MainWindow::AutoCheckDue);
  on(restoreAction, &QAction::triggered, &MainWindow::RestoreFromTray);
  on(checkNowAction, &QAction::triggered, &MainWindow::CheckNow);
  on(autoCheckAction, &QAction::triggered, &MainWindow::TrayAutoCheckToggled);
  on(startAtLoginBox, &QCheckBox::toggled, &MainWindow::StartAtLoginToggled);
  on(closeAction, &QAction::triggered, &MainWindow::CloseFromTray);
}
