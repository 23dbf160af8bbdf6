// SPDX-License-Identifier: MIT
#pragma once
// The About tab's credits: creditsPanel's size, pace, font and lines.

#include <QStringList>

class CreditsPanel;

// The version line rises from the bottom of a blank panel, then the credits follow.
QStringList AboutCreditLines();

// 310 x 92, cycling, one pixel every 70 ms, bold navy sans-serif of 11 pixels.
void SetUpAboutCredits(CreditsPanel& panel);
