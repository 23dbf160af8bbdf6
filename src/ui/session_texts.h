// SPDX-License-Identifier: MIT
#pragma once
// The session's fixed texts (status words, outcomes) in the interface's language. The session
// knows no languages: the windows translate what it hands them, by its exact English text.

#include <QString>

#include <string_view>

// The translation of `bytes` when it is one of the session's fixed texts; any other text (a
// server's, a page's, one with a count in it) as it came, one byte a character.
QString SessionText(std::string_view bytes);
