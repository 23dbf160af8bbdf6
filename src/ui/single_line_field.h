// SPDX-License-Identifier: MIT
#pragma once
// What a one-line field that feeds a request or the settings file may hold.

#include <QtGlobal>

class QLineEdit;

// The refusal shown at the field when typed or pasted text has characters beyond Latin-1.
inline constexpr const char* kNotLatin1Reason =
    QT_TRANSLATE_NOOP("SingleLineField", "Only characters of the Latin-1 set (Western European) can be used here.");

// From now on the field drops CR, LF and NUL from whatever is typed, pasted or set (they would
// break a request line or a settings line and show only as a blank), and refuses an input with a
// character beyond Latin-1, showing kNotLatin1Reason at the field.
void GuardSingleLineField(QLineEdit* field);
