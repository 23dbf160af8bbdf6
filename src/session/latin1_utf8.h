// SPDX-License-Identifier: MIT
#pragma once
// The service's single-byte text as UTF-8, for the places that hand it to the UTF-8 world (a
// JSON document, a mail library): each byte is the Latin-1 character of its value.

#include <string>
#include <string_view>

std::string Latin1ToUtf8(std::string_view latin1);
