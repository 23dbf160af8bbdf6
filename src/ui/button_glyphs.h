// SPDX-License-Identifier: MIT
#pragma once
// The 16 x 16 pictures of the main window's buttons; Qt derives their disabled look.

#include <QIcon>

QIcon CheckGlyph();    // an envelope: check for mail
QIcon StopGlyph();     // a red square
QIcon HeadersGlyph();  // lines of a list
