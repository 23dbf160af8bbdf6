// SPDX-License-Identifier: MIT
#pragma once
// Every URL that the program builds from page content (the logout address, message links, the
// deletion form) must lead to one of the service's two servers, on port 80, with no user
// information: a hostile page must not send the session, or anything, elsewhere.

#include <stdexcept>
#include <string>

inline constexpr const char* kOutsideServiceText =
    "The page points to a server outside the webmail service; nothing was sent";

class EServiceUrl : public std::runtime_error {
 public:
  EServiceUrl() : std::runtime_error(kOutsideServiceText) {}
};

// Raises EServiceUrl unless `url` is "http://" + a server of the service, optionally ":80", and
// then nothing or a path. An empty URL (no logout address on the page) is left to the HTTP
// client, which refuses it as having no host.
void CheckServiceUrl(const std::string& url);
