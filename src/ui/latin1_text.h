// SPDX-License-Identifier: MIT
#pragma once
// The one conversion between the program's bytes (pages, requests, the settings file, error
// texts, file names) and the text of its widgets: Latin-1, one byte to one character and back,
// so that every byte comes back unchanged.

#include <QString>

#include <string>
#include <string_view>

QString TextFromBytes(std::string_view bytes);

// The fields that feed requests and the settings file refuse characters above U+00FF where they
// are entered (GuardSingleLineField), so none reaches here from the user.
std::string BytesFromText(const QString& text);

bool HoldsOnlyLatin1(QStringView text);
