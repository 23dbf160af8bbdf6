// SPDX-License-Identifier: MIT
#pragma once
// Placing top-level windows.

class QWidget;

// Centres `window` on the screen it belongs to (the primary one before it is shown).
void CentreOnScreen(QWidget& window);
