// SPDX-License-Identifier: MIT
#pragma once
// The look shared by the program's windows: the design font, the grey of disabled text fields
// and "*" as the password character.

#include <QColor>
#include <QFont>
#include <QStyle>

class QAbstractButton;
class QLineEdit;
class QTabWidget;
class QWidget;

// Windows' inactive-border grey: a disabled field looks inert.
inline const QColor kDisabledFieldColour{0xD4, 0xD0, 0xC8};

// Sans-serif of 8 points, the size the window layouts were drawn for.
QFont DesignFont();

// From now on the field's background is the window colour while enabled and kDisabledFieldColour
// while disabled; enabling and disabling need nothing more.
void UseFieldColours(QWidget* field);

// A password field: each character shows as "*", whatever the platform's default.
void ShowPasswordAsStars(QLineEdit* field);

// The tab under the mouse is lit, so the pointer shows which page a click would open.
void HighlightTabsUnderMouse(QTabWidget* tabs);

// The style's standard picture on the button, set when the button first shows: the icon theme
// it comes from is read only then, not while the windows are built at start.
void UseStandardGlyph(QAbstractButton* button, QStyle::StandardPixmap glyph);
