// SPDX-License-Identifier: MIT
#include "webmail/imap/oauth_settings.h"

#include <map>

#include "webmail/imap/gateway_config.h"

#ifndef VEXMIRA_MICROSOFT_CLIENT_ID
#define VEXMIRA_MICROSOFT_CLIENT_ID ""
#endif
#ifndef VEXMIRA_GOOGLE_CLIENT_ID
#define VEXMIRA_GOOGLE_CLIENT_ID ""
#endif

namespace webmail {
namespace {

struct Preset {
  const char* deviceEndpoint;
  const char* authorizationEndpoint;
  const char* tokenEndpoint;
  const char* scope;
  const char* host;
  const char* clientId;  // the packager's, from the build
};

// Microsoft's endpoints carry the tenant in their path.
constexpr const char* kTenant = "{tenant}";

const std::map<std::string, Preset>& Presets() {
  static const std::map<std::string, Preset> presets = {
      {"microsoft",
       {"https://login.microsoftonline.com/{tenant}/oauth2/v2.0/devicecode",
        "https://login.microsoftonline.com/{tenant}/oauth2/v2.0/authorize",
        "https://login.microsoftonline.com/{tenant}/oauth2/v2.0/token",
        "https://outlook.office.com/IMAP.AccessAsUser.All offline_access", "outlook.office365.com",
        VEXMIRA_MICROSOFT_CLIENT_ID}},
      {"google",
       {"", "https://accounts.google.com/o/oauth2/v2/auth", "https://oauth2.googleapis.com/token",
        "https://mail.google.com/", "imap.gmail.com", VEXMIRA_GOOGLE_CLIENT_ID}},
  };
  return presets;
}

std::string WithTenant(std::string url, const std::string& tenant) {
  if (const std::size_t at = url.find(kTenant); at != std::string::npos)
    url.replace(at, std::string_view(kTenant).size(), tenant);
  return url;
}

void Fill(std::string& value, const std::string& preset) {
  if (value.empty()) value = preset;
}

std::string CheckEndpoint(const char* name, const std::string& url) {
  if (url.empty() || url.starts_with("https://") || (url.starts_with("http://") && IsLoopbackUrl(url))) return {};
  return std::string(name) + " must be an https:// address (plain http only to this machine): " + url;
}

}  // namespace

bool IsLoopbackUrl(const std::string& url) {
  const std::size_t start = url.find("://");
  if (start == std::string::npos) return false;
  const std::string_view rest = std::string_view(url).substr(start + 3);
  const std::string_view host = rest.starts_with('[') ? rest.substr(0, rest.find(']') + 1)
                                                      : rest.substr(0, rest.find_first_of(":/"));
  return host == "localhost" || host == "[::1]" || host.starts_with("127.");
}

bool SetOAuthKey(OAuthSettings& settings, const std::string& key, const std::string& value) {
  const std::map<std::string, std::string OAuthSettings::*> keys = {
      {"provider", &OAuthSettings::provider},
      {"tenant", &OAuthSettings::tenant},
      {"client-id", &OAuthSettings::clientId},
      {"client-secret", &OAuthSettings::clientSecret},
      {"device-endpoint", &OAuthSettings::deviceEndpoint},
      {"authorization-endpoint", &OAuthSettings::authorizationEndpoint},
      {"token-endpoint", &OAuthSettings::tokenEndpoint},
      {"scope", &OAuthSettings::scope},
      {"token-command", &OAuthSettings::tokenCommand},
  };
  const auto it = keys.find(key);
  if (it == keys.end()) return false;
  settings.*(it->second) = value;
  return true;
}

std::string CompleteOAuth(OAuthSettings& settings, ImapServer& server, bool serverGiven) {
  if (settings.provider != "custom") {
    const auto preset = Presets().find(settings.provider);
    if (preset == Presets().end()) return "provider is microsoft, google or custom, not \"" + settings.provider + "\"";
    const Preset& p = preset->second;
    Fill(settings.deviceEndpoint, WithTenant(p.deviceEndpoint, settings.tenant));
    Fill(settings.authorizationEndpoint, WithTenant(p.authorizationEndpoint, settings.tenant));
    Fill(settings.tokenEndpoint, WithTenant(p.tokenEndpoint, settings.tenant));
    Fill(settings.scope, p.scope);
    Fill(settings.clientId, p.clientId);
    if (!serverGiven) server = ImapServer{true, p.host, 993};
  }
  if (!serverGiven && settings.provider == "custom") return "a custom provider needs \"imap\"";
  if (!settings.tokenCommand.empty()) return {};
  if (settings.clientId.empty())
    return "needs \"client-id\": the id of the program registered with " + settings.provider +
           " (this build has none of its own)";
  if (settings.tokenEndpoint.empty() || (settings.deviceEndpoint.empty() && settings.authorizationEndpoint.empty()))
    return "needs \"token-endpoint\" and \"device-endpoint\" or \"authorization-endpoint\"";
  for (const auto& [name, url] : {std::pair<const char*, const std::string*>{"device-endpoint", &settings.deviceEndpoint},
                                  {"authorization-endpoint", &settings.authorizationEndpoint},
                                  {"token-endpoint", &settings.tokenEndpoint}})
    if (std::string problem = CheckEndpoint(name, *url); !problem.empty()) return problem;
  return {};
}

}  // namespace webmail
