// SPDX-License-Identifier: MIT
#pragma once
// Cutting values out of a row window: the up to 500 characters that follow a processed row
// marker of the mailbox page. The window starts inside the row's image tag. The values that
// these give as views lie within the window.

#include <array>
#include <string>
#include <string_view>

// Value of the first <a href=" attribute, at most 200 characters.
std::string_view ExtractLinkTarget(std::string_view window);

// Value of the first name=" attribute, at most 30 characters.
std::string_view ExtractNameAttribute(std::string_view window);

// Value of the first value=" attribute, at most 30 characters (hidden form fields).
std::string_view ExtractValueAttribute(std::string_view window);

// The row's visible text up to its first line break, with "|" between cells. `scratch` holds
// it and is reused by a scan from row to row; the result views into it.
std::string_view ExtractRowText(std::string_view window, std::string& scratch);

// Field n (1-based) of a row text whose fields are separated by runs of "|".
std::string GetRowField(std::string_view rowText, int n);

// Fields 1 to 5 of a row text, as GetRowField gives them, in one pass; they view into rowText.
std::array<std::string_view, 5> GetFirstRowFields(std::string_view rowText);
