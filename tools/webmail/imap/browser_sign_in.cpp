// SPDX-License-Identifier: MIT
#include "webmail/imap/browser_sign_in.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <openssl/rand.h>
#include <openssl/sha.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>

extern char** environ;

namespace webmail {
namespace {

constexpr std::chrono::minutes kSignInLimit{10};
constexpr std::chrono::seconds kRequestLimit{30};
constexpr const char* kDone =
    "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n\r\n"
    "<html><body><p>Vexmira's gateway has your answer; you can close this page.</p></body></html>\r\n";

std::string Base64Url(const unsigned char* bytes, std::size_t size) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::string out;
  unsigned bits = 0;
  int count = 0;
  for (std::size_t i = 0; i < size; ++i) {
    bits = (bits << 8) | bytes[i];
    for (count += 8; count >= 6; count -= 6) out += kDigits[(bits >> (count - 6)) & 0x3F];
  }
  if (count > 0) out += kDigits[(bits << (6 - count)) & 0x3F];
  return out;
}

std::string RandomText(std::size_t bytes) {
  std::string raw(bytes, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(raw.data()), static_cast<int>(bytes)) != 1)
    throw OAuthError("", "no random numbers for the sign-in");
  return Base64Url(reinterpret_cast<const unsigned char*>(raw.data()), raw.size());
}

// The query of the browser's request line ("GET /?code=...&state=... HTTP/1.1"), decoded.
std::map<std::string, std::string> QueryOf(const std::string& request) {
  std::map<std::string, std::string> fields;
  const std::size_t start = request.find('?');
  const std::size_t end = request.find(' ', start);
  if (start == std::string::npos || end == std::string::npos) return fields;
  const std::string query = request.substr(start + 1, end - start - 1);
  for (std::size_t at = 0; at <= query.size();) {
    const std::size_t next = std::min(query.find('&', at), query.size());
    const std::string pair = query.substr(at, next - at);
    const std::size_t equals = pair.find('=');
    int length = 0;
    const std::string value = equals == std::string::npos ? "" : pair.substr(equals + 1);
    char* decoded = curl_easy_unescape(nullptr, value.c_str(), static_cast<int>(value.size()), &length);
    fields[pair.substr(0, equals)] = std::string(decoded ? decoded : "", static_cast<std::size_t>(length));
    curl_free(decoded);
    at = next + 1;
  }
  return fields;
}

// A listening socket on 127.0.0.1 and a port of the system's choice.
class Redirect {
 public:
  Redirect() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd_, 4) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      throw OAuthError("", "cannot listen on 127.0.0.1 for the browser");
    uri_ = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
  }
  ~Redirect() { ::close(fd_); }
  const std::string& Uri() const { return uri_; }

  // The first request that carries a query; a browser may ask for other things first.
  std::map<std::string, std::string> Wait() const {
    const auto end = std::chrono::steady_clock::now() + kSignInLimit;
    while (std::chrono::steady_clock::now() < end) {
      pollfd wait{fd_, POLLIN, 0};
      if (::poll(&wait, 1, 1000) <= 0) continue;
      const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      timeval limit{5, 0};
      ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
      char request[8192];
      const ssize_t n = ::recv(client, request, sizeof request - 1, 0);
      std::map<std::string, std::string> fields = QueryOf(std::string(request, n > 0 ? static_cast<std::size_t>(n) : 0));
      [[maybe_unused]] const ssize_t sent = ::send(client, kDone, std::char_traits<char>::length(kDone), MSG_NOSIGNAL);
      ::close(client);
      if (!fields.empty()) return fields;
    }
    throw OAuthError("expired_token", "the browser did not come back within 10 minutes; run this again");
  }

 private:
  int fd_;
  std::string uri_;
};

// xdg-open with the address as one argument, no shell in between.
bool OpenBrowser(const std::string& address) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return false;
  const char* argv[] = {"xdg-open", address.c_str(), nullptr};
  pid_t child = 0;
  if (::posix_spawnp(&child, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

std::string CodeChallenge(const std::string& verifier) {
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(verifier.data()), verifier.size(), digest);
  return Base64Url(digest, sizeof digest);
}

TokenGrant BrowserSignIn(const GatewayAccount& account, std::FILE* out) {
  const OAuthSettings& oauth = *account.oauth;
  const Redirect redirect;
  const std::string verifier = RandomText(48);
  const std::string state = RandomText(16);
  const std::string address = oauth.authorizationEndpoint + (oauth.authorizationEndpoint.find('?') == std::string::npos ? "?" : "&") +
                              "client_id=" + UrlEscaped(oauth.clientId) + "&redirect_uri=" + UrlEscaped(redirect.Uri()) +
                              "&response_type=code&scope=" + UrlEscaped(oauth.scope) + "&state=" + state +
                              "&code_challenge=" + CodeChallenge(verifier) +
                              "&code_challenge_method=S256&access_type=offline&prompt=consent&login_hint=" +
                              UrlEscaped(account.user);
  const bool opened = OpenBrowser(address);
  std::fprintf(out, "To sign in [%s] as %s, %s:\n%s\n", account.login.c_str(), account.user.c_str(),
               opened ? "finish in the browser that opened, or open" : "open this address in a browser", address.c_str());
  std::fflush(out);
  std::map<std::string, std::string> answer = redirect.Wait();
  if (answer["state"] != state) throw OAuthError("", "the browser came back with a different state; run this again");
  if (!answer["error"].empty())
    throw OAuthError(answer["error"], "the identity provider refused (" + answer["error"] +
                                          (answer["error_description"].empty() ? "" : ": " + answer["error_description"]) + ")");
  FormFields form = {{"grant_type", "authorization_code"}, {"code", answer["code"]}, {"redirect_uri", redirect.Uri()},
                     {"client_id", oauth.clientId}, {"code_verifier", verifier}};
  if (!oauth.clientSecret.empty()) form.emplace_back("client_secret", oauth.clientSecret);
  return GrantOf(PostForm(oauth.tokenEndpoint, form, account.caFile, kRequestLimit));
}

}  // namespace webmail
