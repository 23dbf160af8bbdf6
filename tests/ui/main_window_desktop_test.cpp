// SPDX-License-Identifier: MIT
// The windows on the user's desktop: the start at login that the Options tab keeps in the
// autostart folder, and what a screen reader reads for each control.

#include <QAccessible>
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QStackedWidget>
#include <QTabWidget>

#include <filesystem>

#include "main_window_fixture.h"
#include "session/settings.h"
#include "settings_file.h"
#include "ui/components/credits_panel.h"
#include "ui/text_list_box.h"
#include "vexmira_version.h"

namespace {

bool HiddenOnPurpose(const QWidget* widget) {
  return widget->testAttribute(Qt::WA_WState_ExplicitShowHide) && widget->testAttribute(Qt::WA_WState_Hidden);
}

// The controls a user reaches in a window with the keyboard or the mouse, on any of its tabs
// (the pages that are not in front are hidden, but not on purpose). A
// spin box's editor is part of the spin box, and a tab widget is reached through its tab bar.
std::vector<QWidget*> ReachableControls(QWidget& window) {
  std::vector<QWidget*> controls;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    const bool reachable = widget->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(widget);
    if (!reachable || qobject_cast<QTabWidget*>(widget) || qobject_cast<QAbstractSpinBox*>(widget->parentWidget()))
      continue;
    bool hidden = false;
    for (const QWidget* w = widget; w && w != &window; w = w->parentWidget())
      hidden = hidden || (HiddenOnPurpose(w) && !qobject_cast<QStackedWidget*>(w->parentWidget()));
    if (!hidden) controls.push_back(widget);
  }
  return controls;
}

QString Read(QWidget* control, QAccessible::Text text) {
  return QAccessible::queryAccessibleInterface(control)->text(text);
}

// What a screen reader announces for a control: its role and its name. A tab bar is read as its
// tabs.
std::vector<std::pair<QAccessible::Role, QString>> Announced(QWidget* control) {
  QAccessibleInterface* item = QAccessible::queryAccessibleInterface(control);
  std::vector<std::pair<QAccessible::Role, QString>> said;
  if (item->role() == QAccessible::PageTabList) {
    for (int i = 0; i < item->childCount(); ++i)
      if (item->child(i)->role() == QAccessible::PageTab) said.emplace_back(QAccessible::PageTab, item->child(i)->text(QAccessible::Name));
  } else {
    said.emplace_back(item->role(), item->text(QAccessible::Name));
    EXPECT_FALSE(item->text(QAccessible::Description).isEmpty()) << "no description";
  }
  return said;
}

// What a screen reader stumbles on in the tree below `item`, one line each: a container read as
// "filler" with nothing to say what it holds (a tab widget is read through its tabs), or a
// window, dialog or tab without a name. Controls' insides (a text's scroll bars) are the
// controls' own.
void Stumbles(QAccessibleInterface* item, const QString& path, QStringList& found) {
  if (item->state().invisible) return;
  const QAccessible::Role role = item->role();
  const QString name = item->text(QAccessible::Name);
  const QString here = path + "/" + QString::number(role, 16) + "(" + name + ")";
  bool holdsTabs = false;
  for (int i = 0; i < item->childCount(); ++i) holdsTabs = holdsTabs || item->child(i)->role() == QAccessible::PageTabList;
  const bool unnamedFiller = role == QAccessible::Client && item->childCount() > 0 && !holdsTabs;
  const bool mustBeNamed =
      role == QAccessible::Window || role == QAccessible::Dialog || role == QAccessible::PageTab || unnamedFiller;
  if (mustBeNamed && name.trimmed().isEmpty()) found << here;
  const bool container = role == QAccessible::Client || role == QAccessible::Window || role == QAccessible::Dialog ||
                         role == QAccessible::LayeredPane || role == QAccessible::PageTabList;
  for (int i = 0; container && i < item->childCount(); ++i)
    if (QAccessibleInterface* child = item->child(i)) Stumbles(child, here, found);
}

}  // namespace

// The whole tree of each window as the AT-SPI bridge hands it to a screen reader.
TEST_F(MainWindowTest, TheWholeTreeGivesAScreenReaderRolesAndNames) {
  Open();
  for (QWidget* window : std::initializer_list<QWidget*>{form, messages, preview}) {
    window->show();
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window);
    EXPECT_TRUE(root->role() == QAccessible::Window || root->role() == QAccessible::Dialog) << root->role();
    for (int tab = 0; tab < (window == form ? form->tabs->count() : 1); ++tab) {
      if (window == form) form->tabs->setCurrentIndex(tab);
      QStringList found;
      Stumbles(root, window->objectName(), found);
      EXPECT_TRUE(found.isEmpty()) << found.join("\n").toStdString();
    }
  }
  EXPECT_EQ(Read(form->creditsPanel, QAccessible::Name), "Credits");
  EXPECT_TRUE(Read(form->creditsPanel, QAccessible::Description).startsWith("Vexmira " VEXMIRA_VERSION));
}

// No control is cut off by the edge of what holds it (a window, a tab's page).
TEST_F(MainWindowTest, EveryControlLiesWithinWhatHoldsIt) {
  Open();
  std::vector<QWidget*> holders{preview, messages};
  for (int tab = 0; tab < form->tabs->count(); ++tab) holders.push_back(form->tabs->widget(tab));
  for (QWidget* holder : holders) {
    for (QWidget* control : holder->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (control->isWindow() || HiddenOnPurpose(control)) continue;
      EXPECT_TRUE(holder->rect().contains(control->geometry()))
          << holder->objectName().toStdString() << " " << control->objectName().toStdString();
    }
  }
}

TEST_F(MainWindowTest, EveryControlHasItsOwnAccessibleNameAndADescription) {
  Open();
  for (QWidget* window : std::initializer_list<QWidget*>{form, messages, preview}) {
    SCOPED_TRACE(window->objectName().toStdString());
    const std::vector<QWidget*> controls = ReachableControls(*window);
    EXPECT_GE(controls.size(), 2u);
    QSet<QPair<int, QString>> heard;
    for (QWidget* control : controls) {
      SCOPED_TRACE(control->metaObject()->className() + (" " + control->objectName().toStdString()));
      for (const auto& [role, name] : Announced(control)) {
        SCOPED_TRACE("\"" + name.toStdString() + "\"");
        EXPECT_TRUE(name.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))));  // not "..."
        EXPECT_FALSE(heard.contains({role, name}));
        heard.insert({role, name});
      }
    }
  }
  // The fields take their names from their labels.
  EXPECT_EQ(Read(form->loginEdit, QAccessible::Name), "Login");
  EXPECT_EQ(Read(form->proxyHostEdit, QAccessible::Name), "Proxy");
}

TEST_F(MainWindowTest, StartAtLoginWritesAndRemovesTheAutostartEntry) {
  const std::string entry = config.File("autostart/" VEXMIRA_APP_ID ".desktop");
  const std::string exec =
      "\nExec=\"" + QCoreApplication::applicationFilePath().toStdString() + "\" \"--minimized\"\n";
  WriteSettings("USERID=alice\nWAVPLAY=1\n");  // a file from before the box: off
  Open();
  EXPECT_FALSE(form->startAtLoginBox->isChecked());
  EXPECT_FALSE(std::filesystem::exists(config.File("autostart")));

  form->startAtLoginBox->click();
  EXPECT_NE(ReadFile(entry).find(exec), std::string::npos) << ReadFile(entry);
  EXPECT_TRUE(form->close());
  EXPECT_TRUE(LoadSettings(SettingsFile()).StartAtLogin);

  // The next start writes the entry anew, for a program that may have moved meanwhile.
  std::filesystem::remove(entry);
  Open();
  EXPECT_TRUE(form->startAtLoginBox->isChecked());
  EXPECT_NE(ReadFile(entry).find(exec), std::string::npos);
  form->startAtLoginBox->click();
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_TRUE(form->close());
  EXPECT_FALSE(LoadSettings(SettingsFile()).StartAtLogin);
  EXPECT_TRUE(answerer.seen.empty());
}

TEST_F(MainWindowTest, AStartAtLoginThatCannotBeWrittenIsShownAndTheBoxGoesBack) {
  WriteFile(config.File("autostart"), "");  // a file where the folder should be
  Open();
  form->startAtLoginBox->click();
  EXPECT_FALSE(form->startAtLoginBox->isChecked());
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_TRUE(answerer.seen[0].text.startsWith(
      QString::fromStdString("Unable to write to " + config.File("autostart/" VEXMIRA_APP_ID ".desktop") + ": ")))
      << answerer.seen[0].text.toStdString();
  EXPECT_TRUE(form->close());
  EXPECT_FALSE(LoadSettings(SettingsFile()).StartAtLogin);
}
