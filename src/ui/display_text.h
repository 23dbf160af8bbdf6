#pragma once
// Text taken from the service's pages, as the windows show it.

#include <QString>

#include <string>

// Pages of the time were written in Latin-1, newer ones in UTF-8: bytes that are not valid
// UTF-8 are read as Latin-1, so no character turns into a replacement mark.
QString DisplayText(const std::string& bytes);
