// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>

// The message body of a message page: the text after "<div><pre>" (less its first character,
// the line break that follows the marker) up to "</pre></div>". A missing opening marker
// starts the body at offset 10, a missing closing one runs it to the end of the page; markers
// in the wrong order select the text between the two offsets.
std::string ExtractPreviewBody(std::string_view page);
