// SPDX-License-Identifier: MIT
#pragma once
#include <string>

// A point in time as days since 30 December 1899, the time of day in the fraction.
using DateTime = double;

// "Sat, 01 Jan 2000 00:00:00": the value as it stands, no time zone conversion.
std::string FormatHttpDate(DateTime value);
