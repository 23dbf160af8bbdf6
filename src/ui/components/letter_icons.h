// SPDX-License-Identifier: MIT
#pragma once
// The tray's two pictures: a letter sheet with a stamp (new mail) and the same crossed out (no
// mail), drawn for the sizes that desktops ask for.

#include <QIcon>

class IconList;

QIcon NewMailIcon();
QIcon NoMailIcon();

// Appends both in the order the mailbox scan counts them: new mail first, then no mail.
void AddLetterIcons(IconList& list);
