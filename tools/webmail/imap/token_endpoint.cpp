// SPDX-License-Identifier: MIT
#include "webmail/imap/token_endpoint.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace webmail {
namespace {

constexpr std::size_t kMaxAnswer = 256 * 1024;  // tokens and their claims are a few KiB

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* answer) {
  auto& text = *static_cast<std::string*>(answer);
  if (text.size() + size * count > kMaxAnswer) return 0;  // ends the transfer with an error
  text.append(data, size * count);
  return size * count;
}

// "error: error_description" as the provider words it.
OAuthError Refusal(const nlohmann::json& answer, long status) {
  const std::string code = answer.value("error", "");
  std::string text = "the identity provider refused (" + (code.empty() ? "HTTP " + std::to_string(status) : code);
  if (answer.contains("error_description") && answer["error_description"].is_string())
    text += ": " + answer["error_description"].get<std::string>();
  return OAuthError(code, text + ")");
}

std::string Base64UrlDecoded(std::string_view text) {
  std::string out;
  unsigned bits = 0;
  int count = 0;
  for (const char c : text) {
    int value = -1;
    if (c >= 'A' && c <= 'Z') value = c - 'A';
    else if (c >= 'a' && c <= 'z') value = c - 'a' + 26;
    else if (c >= '0' && c <= '9') value = c - '0' + 52;
    else if (c == '-' || c == '+') value = 62;
    else if (c == '_' || c == '/') value = 63;
    if (value < 0) break;
    bits = (bits << 6) | static_cast<unsigned>(value);
    if ((count += 6) >= 8) out += static_cast<char>((bits >> (count -= 8)) & 0xFF);
  }
  return out;
}

}  // namespace

std::string UrlEscaped(const std::string& text) {
  char* escaped = curl_easy_escape(nullptr, text.data(), static_cast<int>(text.size()));
  std::string out = escaped ? escaped : "";
  curl_free(escaped);
  return out;
}

nlohmann::json PostForm(const std::string& url, const FormFields& form, const std::string& caFile,
                        std::chrono::milliseconds timeLimit) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  const std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) throw OAuthError("", "cannot set up an HTTP client");
  std::string body;
  for (const auto& [name, value] : form) body += (body.empty() ? "" : "&") + name + "=" + UrlEscaped(value);
  std::string answer;
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "https,http");
  curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.c_str());
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(std::max<long long>(timeLimit.count(), 1)));
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &answer);
  if (!caFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, caFile.c_str());
  curl_slist* headers = curl_slist_append(nullptr, "Accept: application/json");
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
  const CURLcode result = curl_easy_perform(c);
  curl_slist_free_all(headers);
  if (result != CURLE_OK)
    throw OAuthError("", "the identity provider cannot be reached at " + url + " (" + curl_easy_strerror(result) + ")");
  long status = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  const nlohmann::json json = nlohmann::json::parse(answer, nullptr, /*allow_exceptions=*/false);
  if (!json.is_object())
    throw OAuthError("", "the identity provider at " + url + " answered HTTP " + std::to_string(status) +
                             " with something that is not JSON");
  if (status < 200 || status > 299 || json.contains("error")) throw Refusal(json, status);
  return json;
}

TokenGrant GrantOf(const nlohmann::json& answer) {
  TokenGrant grant;
  if (!answer.contains("access_token") || !answer["access_token"].is_string())
    throw OAuthError("", "the identity provider's answer holds no access_token");
  grant.accessToken = answer["access_token"].get<std::string>();
  const auto lifetime = answer.find("expires_in");
  // Some providers send the number as a string.
  if (lifetime != answer.end() && lifetime->is_number()) grant.lifetime = std::chrono::seconds(lifetime->get<long long>());
  if (lifetime != answer.end() && lifetime->is_string()) grant.lifetime = std::chrono::seconds(std::atoll(lifetime->get<std::string>().c_str()));
  if (grant.lifetime.count() <= 0) grant.lifetime = std::chrono::seconds(3600);
  grant.refreshToken = answer.value("refresh_token", "");
  grant.idToken = answer.value("id_token", "");
  return grant;
}

nlohmann::json ClaimsOf(const std::string& idToken) {
  const std::size_t first = idToken.find('.');
  const std::size_t second = idToken.find('.', first + 1);
  if (first == std::string::npos || second == std::string::npos) return nlohmann::json::object();
  const nlohmann::json claims =
      nlohmann::json::parse(Base64UrlDecoded(std::string_view(idToken).substr(first + 1, second - first - 1)), nullptr, false);
  return claims.is_object() ? claims : nlohmann::json::object();
}

}  // namespace webmail
