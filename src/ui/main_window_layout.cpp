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

#include "ui/button_glyphs.h"
#include "ui/components/about_credits.h"
#include "ui/components/application_errors.h"
#include "ui/components/credits_panel.h"
#include "ui/control_look.h"
#include "ui/filename_edit.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"

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

QLabel* AddLabel(QWidget* tab, const char* name, const char* caption, int left, int top) {
  auto* label = new QLabel(QString::fromUtf8(caption), tab);
  label->setObjectName(QString::fromLatin1(name));
  label->move(left, top);
  label->adjustSize();
  return label;
}

QLineEdit* AddField(QWidget* tab, const char* name, const QRect& geometry) {
  QLineEdit* field = Named(new QLineEdit(tab), name, geometry);
  UseFieldColours(field);
  return field;
}

QLineEdit* AddPasswordField(QWidget* tab, const char* name, const QRect& geometry) {
  auto* field = new QLineEdit(tab);
  ShowPasswordAsStars(field);  // before the colours: a new style re-polishes the field
  UseFieldColours(field);
  return Named(field, name, geometry);
}

QCheckBox* AddCheckBox(QWidget* tab, const char* name, const char* caption, const QRect& geometry,
                       const char* hint = nullptr) {
  QCheckBox* box = Named(new QCheckBox(QString::fromUtf8(caption), tab), name, geometry);
  if (hint) box->setToolTip(QString::fromUtf8(hint));
  return box;
}

QPushButton* AddButton(QWidget* tab, const char* name, const char* caption, const QRect& geometry,
                       const char* hint) {
  QPushButton* button = Named(new QPushButton(QString::fromUtf8(caption), tab), name, geometry);
  button->setToolTip(QString::fromUtf8(hint));
  return button;
}

void AddRaisedFrame(QWidget* tab, const QRect& geometry) {
  auto* frame = new QFrame(tab);
  frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
  frame->setGeometry(geometry);
}

}  // namespace

void TForm1::BuildWindow() {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromUtf8(kApplicationTitle));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(DesignFont());
  setFixedSize(kClientSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, kClientSize, screen->availableGeometry()));

  PageControl = Named(new QTabWidget(this), "PageControl", {2, 3, 337, 176});
  TabSheet1 = new QWidget;
  TabSheet2 = new QWidget;
  TabSheet3 = new QWidget;
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
  TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
  PageControl->addTab(TabSheet1, QStringLiteral("Check"));
  PageControl->addTab(TabSheet2, QStringLiteral("Options"));
  PageControl->addTab(TabSheet3, QStringLiteral("About"));

  StatusBar1 = Named(new QStatusBar(this), "StatusBar1",
                     {0, kClientSize.height() - kStatusBarHeight, kClientSize.width(), kStatusBarHeight});
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1->showMessage(QStringLiteral("Idle"));

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));

  BuildCheckTab();
  BuildOptionsTab();
  BuildAboutTab();
}

void TForm1::BuildCheckTab() {
  QWidget* tab = TabSheet1;
  AddRaisedFrame(tab, {8, 0, 313, 98});
  AddRaisedFrame(tab, {8, 96, 313, 49});
  loginLABEL = AddLabel(tab, "loginLABEL", "Login", 16, 8);
  loginEDIT = AddField(tab, "loginEDIT", {16, 24, 121, 21});
  loginEDIT->setMaxLength(kLoginMaxLength);
  passwordLABEL = AddLabel(tab, "passwordLABEL", "Password", 184, 8);
  passEDIT = AddPasswordField(tab, "passEDIT", {184, 24, 121, 21});
  passEDIT->setMaxLength(kLoginMaxLength);
  timeLABEL = AddLabel(tab, "timeLABEL", "Time", 16, 51);
  tempoSpinEdit = Named(new QSpinBox(tab), "tempoSpinEdit", {16, 66, 57, 21});
  tempoSpinEdit->setRange(2, 60);
  tempoSpinEdit->setValue(kDefaultCheckMinutes);
  // Leaving the field with a number out of range puts the nearest limit in, not the old value.
  tempoSpinEdit->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  UseFieldColours(tempoSpinEdit);
  CheckTIME = AddCheckBox(tab, "CheckTIME", "Enabled", {78, 68, 61, 17}, "Enable/Disable automatic check");
  CheckTIME->setChecked(true);
  CheckSavePass =
      AddCheckBox(tab, "CheckSavePass", "Save Password", {184, 51, 97, 17}, "Enable/Disable password saving");
  CheckHeaders =
      AddCheckBox(tab, "CheckHeaders", "Show Headers", {184, 72, 97, 17}, "Enable/Disable header checking");
  startBUTTON = AddButton(tab, "startBUTTON", "&Check", {24, 108, 75, 25}, "Check for new mail");
  startBUTTON->setIcon(CheckGlyph());
  stopBUTTON = AddButton(tab, "stopBUTTON", "&Stop", {127, 108, 75, 25}, "Stop the current check process");
  stopBUTTON->setIcon(StopGlyph());
  stopBUTTON->setEnabled(false);
  HeaderButton = AddButton(tab, "HeaderButton", "&Headers", {232, 108, 75, 25}, "Show messages headers");
  HeaderButton->setIcon(HeadersGlyph());
  HeaderButton->setEnabled(false);
}

void TForm1::BuildOptionsTab() {
  QWidget* tab = TabSheet2;
  AddRaisedFrame(tab, {6, 1, 313, 140});
  CheckBox1 = AddCheckBox(tab, "CheckBox1", "Use Proxy", {18, 6, 73, 17});
  Label1 = AddLabel(tab, "Label1", "User Name", 18, 24);
  nameEDIT = AddField(tab, "nameEDIT", {18, 40, 121, 21});
  Label2 = AddLabel(tab, "Label2", "Password", 186, 24);
  passpEDIT = AddPasswordField(tab, "passpEDIT", {186, 40, 121, 21});
  ProxyLABEL = AddLabel(tab, "ProxyLABEL", "Proxy", 18, 64);
  proxyEDIT = AddField(tab, "proxyEDIT", {18, 79, 169, 21});
  PortLABEL = AddLabel(tab, "PortLABEL", "Port", 250, 65);
  portEDIT = AddField(tab, "portEDIT", {250, 79, 57, 21});
  CheckSAVEPASSP = AddCheckBox(tab, "CheckSAVEPASSP", "Save Password", {184, 7, 97, 17});
  CheckBox2 = AddCheckBox(tab, "CheckBox2", "Play Sound", {17, 110, 80, 17});
  FilenameEdit1 =
      Named(new FileNameEdit(QString::fromUtf8(kWaveFileFilter), tab), "FilenameEdit1", {99, 108, 208, 21});
  CheckBox1Click();  // the proxy fields and the file name start disabled, as their boxes
  CheckBox2Click();
}

void TForm1::BuildAboutTab() {
  QWidget* tab = TabSheet3;
  Button_GO = AddButton(tab, "Button_GO", "&Go to URL", {8, 9, 75, 26}, "Go to my URL and send your comments!!");
  StaticText1 = Named(new QLabel(QString::fromUtf8(kAboutAddress), tab), "StaticText1", {98, 14, 220, 17});
  StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  SecretPanel1 = Named(new CreditsPanel(tab), "SecretPanel1", {8, 46, 310, 92});
  SetUpAboutCredits(*SecretPanel1);
}

// Every handler's error goes to the general error report; the program goes on.
void TForm1::ConnectHandlers() {
  const auto on = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
    connect(sender, signal, this, [this, handler] { RunReportingErrors([this, handler] { (this->*handler)(); }); });
  };
  on(startBUTTON, &QPushButton::clicked, &TForm1::startBUTTONClick);
  on(stopBUTTON, &QPushButton::clicked, &TForm1::stopBUTTONClick);
  on(HeaderButton, &QPushButton::clicked, &TForm1::HeaderButtonClick);
  on(Button_GO, &QPushButton::clicked, &TForm1::Button_GOClick);
  on(loginEDIT, &QLineEdit::textChanged, &TForm1::CaixasChange);
  on(passEDIT, &QLineEdit::textChanged, &TForm1::CaixasChange);
  // toggled fires for the user's clicks and for the program's changes alike, as the load needs.
  on(CheckBox1, &QCheckBox::toggled, &TForm1::CheckBox1Click);
  on(CheckBox2, &QCheckBox::toggled, &TForm1::CheckBox2Click);
  on(CheckHeaders, &QCheckBox::toggled, &TForm1::CheckHeadersClick);
  on(CheckTIME, &QCheckBox::toggled, &TForm1::CheckTIMEClick);
  on(PageControl, &QTabWidget::currentChanged, &TForm1::PageControlChange);
  // The Time field's text changes by typing (its editor), by a new value (arrows, the load) and by
  // the clean-up when it loses the focus, which only editingFinished reports.
  on(tempoSpinEdit->findChild<QLineEdit*>(), &QLineEdit::textChanged, &TForm1::tempoSpinEditChange);
  on(tempoSpinEdit, &QSpinBox::valueChanged, &TForm1::tempoSpinEditChange);
  on(tempoSpinEdit, &QSpinBox::editingFinished, &TForm1::tempoSpinEditChange);
  on(Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
  on(Restore1, &QAction::triggered, &TForm1::Restore1Click);
  on(CheckNow1, &QAction::triggered, &TForm1::startBUTTONClick);
  on(Enabled1, &QAction::triggered, &TForm1::Enabled1Click);
  on(Close1, &QAction::triggered, &TForm1::Close1Click);
}
