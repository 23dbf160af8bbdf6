// SPDX-License-Identifier: MIT
#pragma once
// Paths, form fields and links of the emulated service, shared by its pages and its handlers.

#include <cstddef>
#include <string>
#include <string_view>

#include "session/service.h"

namespace webmail {

// The two servers of the service.
enum class Server { Login, Mail };

inline std::string ServerOrigin(Server server) {
  return std::string("http://") + (server == Server::Login ? service::kLoginServer : service::kMailServer);
}

}  // namespace webmail

namespace webmail::site {

inline constexpr std::string_view kLoginPath = "/cgi-bin/start";      // login server, POST
inline constexpr std::string_view kMailboxPath = "/cgi-bin/HoTMaiL";  // login server: list, delete
inline constexpr std::string_view kMessagePath = "/cgi-bin/getmsg";   // login server: one message
inline constexpr std::string_view kLogoutPath = "/cgi-bin/logout";    // mail server

inline constexpr std::string_view kSessionField = "sid";
inline constexpr std::string_view kFolderField = "curmbox";
inline constexpr std::string_view kFolder = "ACTIVE";
inline constexpr std::string_view kMessageField = "msg";
// The Delete button is an image button: browsers send Delete.x and Delete.y, the notifier
// sends "Delete.x=Delete".
inline constexpr std::string_view kDeleteField = "Delete.x";
inline constexpr std::string_view kCheckedValue = "TRUE";

inline constexpr std::size_t kSessionIdLength = 17;  // "S" and 16 hex digits

// Message ids become form field names, so they must not collide with the form's own fields.
inline bool IsFormFieldName(std::string_view name) {
  return name == kSessionField || name == kFolderField || name == kDeleteField || name == "Delete.y";
}

inline std::string SessionQuery(const std::string& sid) {
  return std::string(kSessionField) + "=" + sid + "&" + std::string(kFolderField) + "=" + std::string(kFolder);
}

// Links carry "&" raw: the notifier copies them out of the page without decoding HTML.
inline std::string MessageLink(const std::string& sid, const std::string& id) {
  return std::string(kMessagePath) + "?" + SessionQuery(sid) + "&" + std::string(kMessageField) + "=" + id;
}

inline std::string MailboxLink(const std::string& sid) { return std::string(kMailboxPath) + "?" + SessionQuery(sid); }

inline std::string LogoutUrl(const std::string& sid) {
  return std::string("http://") + service::kMailServer + std::string(kLogoutPath) + "?" + SessionQuery(sid);
}

}  // namespace webmail::site
