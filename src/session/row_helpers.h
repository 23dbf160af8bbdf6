// SPDX-License-Identifier: MIT
#pragma once
// Cutting values out of a row window: the up to 500 characters that follow a processed row
// marker of the mailbox page. The window starts inside the row's image tag.

#include <string>
#include <string_view>

// Value of the first <a href=" attribute, at most 200 characters.
std::string ExtractLinkTarget(std::string_view window);

// Value of the first name=" attribute, at most 30 characters.
std::string ExtractNameAttribute(std::string_view window);

// Value of the first value=" attribute, at most 30 characters (hidden form fields).
std::string ExtractValueAttribute(std::string_view window);

// The row's visible text up to its first line break, with "|" between cells.
std::string ExtractRowText(std::string_view window);

// Field n (1-based) of a row text whose fields are separated by runs of "|".
std::string GetRowField(std::string_view rowText, int n);
