// SPDX-License-Identifier: MIT
#pragma once
// Fixed addresses of the webmail service. Both servers sit in TEST-NET-1, which routes nowhere:
// a check without a proxy can never hand the password to a stranger. Users reach a service
// (our emulator, tools/webmail) through the proxy setting.

namespace service {

inline constexpr const char* kLoginServer = "192.0.2.10";
inline constexpr const char* kMailServer = "192.0.2.20";
inline constexpr const char* kMailDomain = "hotmail.com";
inline constexpr const char* kHomePage = "http://www.hotmail.com/";

}  // namespace service
