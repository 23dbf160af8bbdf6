// SPDX-License-Identifier: MIT
// The gateway file and the IMAP password sources, on real files, variables and commands.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "webmail/imap/gateway_config.h"
#include "webmail/imap/password_source.h"
#include "webmail/service/form_decoding.h"

using webmail::FetchPassword;
using webmail::GatewayConfigError;
using webmail::ParseGatewayConfig;
using webmail::PasswordSource;

namespace {

std::string ErrorOf(const std::string& text) {
  try {
    ParseGatewayConfig(text, "gw.conf");
  } catch (const GatewayConfigError& e) {
    return e.what();
  }
  return "no error";
}

struct TempFile {
  std::filesystem::path path = std::filesystem::temp_directory_path() /
                               ("gateway-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  static inline int counter = 0;
  TempFile(const std::string& text, mode_t mode) {
    std::ofstream(path) << text;
    ::chmod(path.c_str(), mode);
  }
  ~TempFile() { std::filesystem::remove(path); }
};

constexpr std::chrono::milliseconds kLimit{5000};

}  // namespace

TEST(GatewayFile, ReadsSectionsWithDefaultsPerScheme) {
  const auto accounts = ParseGatewayConfig(
      "# comment\n[alice]\npassword = wonderland\nimap = imaps://imap.example.org\nuser = alice@example.org\n"
      "password-command = pass show mail | head -1\n\n"
      "[bob.b]\r\npassword=0123456789abcdef\r\nimap = imap://127.0.0.1:1143/\r\nuser=bob\r\npassword-env = BOB\r\n"
      "ca-file = /tmp/ca.pem\r\nplaintext = yes\r\ntimeout = 5\r\n",
      "gw.conf");
  ASSERT_EQ(accounts.size(), 2u);
  EXPECT_EQ(accounts[0].server.Url(), "imaps://imap.example.org:993");
  EXPECT_EQ(accounts[0].imapPassword.kind, PasswordSource::Kind::Command);
  EXPECT_EQ(accounts[0].imapPassword.value, "pass show mail | head -1");
  EXPECT_EQ(accounts[0].timeout, std::chrono::seconds(30));
  EXPECT_FALSE(accounts[0].plaintext);
  EXPECT_EQ(accounts[1].login, "bob.b");
  EXPECT_EQ(accounts[1].password, "0123456789abcdef");
  EXPECT_EQ(accounts[1].server.Url(), "imap://127.0.0.1:1143");
  EXPECT_EQ(accounts[1].imapPassword.kind, PasswordSource::Kind::Environment);
  EXPECT_EQ(accounts[1].caFile, "/tmp/ca.pem");
  EXPECT_TRUE(accounts[1].plaintext);
  EXPECT_EQ(accounts[1].timeout, std::chrono::seconds(5));
}

TEST(GatewayFile, MistakesAreRefusedWithTheirLine) {
  const std::string good = "[a]\npassword = p\nimap = imaps://h\nuser = u\npassword-env = V\n";
  EXPECT_EQ(ErrorOf(""), "gw.conf: holds no account");
  EXPECT_EQ(ErrorOf("password = p\n"), "gw.conf:1: \"password\" before any [login] line");
  EXPECT_EQ(ErrorOf("[a]\npassword = p\nimap = imaps://h\nuser = u\n"),
            "gw.conf:1: [a] needs password-env, password-file or password-command");
  EXPECT_EQ(ErrorOf(good + "password-file = f\n"), "gw.conf:6: [a] has more than one IMAP password source");
  EXPECT_EQ(ErrorOf(good + "user = v\n"), "gw.conf:6: \"user\" is given twice for [a]");
  EXPECT_EQ(ErrorOf(good + "[a]\n"), "gw.conf:6: [a] is defined twice");
  EXPECT_EQ(ErrorOf("[abcdefghijklmnopq]\n"),
            "gw.conf:1: login \"abcdefghijklmnopq\" must be 1 to 16 letters, digits, '.', '_' or '-'");
  EXPECT_EQ(ErrorOf("[a]\npassword = 0123456789abcdefg\n"),
            "gw.conf:2: the local password must be 1 to 16 characters (the notifier's field holds 16)");
  EXPECT_EQ(ErrorOf("[a]\nimap = http://h\n"),
            "gw.conf:2: the IMAP URL must begin with imaps:// or imap://, not \"http://h\"");
  EXPECT_EQ(ErrorOf("[a]\nimap = imaps://u@h/INBOX\n"),
            "gw.conf:2: the IMAP URL \"imaps://u@h/INBOX\" must be imap[s]://host[:port]");
  EXPECT_EQ(ErrorOf("[a]\nimap = imaps://h:99999\n"), "gw.conf:2: bad port in the IMAP URL \"imaps://h:99999\"");
  EXPECT_EQ(ErrorOf("[a]\ntimeout = 0\n"), "gw.conf:2: timeout needs whole seconds from 1 to 600, not \"0\"");
  EXPECT_EQ(ErrorOf("[a]\nplaintext = maybe\n"), "gw.conf:2: \"plaintext\" is yes or no, not \"maybe\"");
  EXPECT_EQ(ErrorOf("[a]\nfolder = Spam\n"), "gw.conf:2: unknown key \"folder\"");
  EXPECT_EQ(ErrorOf("[a]\nuser =\n"), "gw.conf:2: \"user\" needs a value");
  EXPECT_EQ(ErrorOf("[a]\njust words\n"), "gw.conf:2: expected \"key = value\" or \"[login]\"");
}

// A provider's preset fills what the file leaves out; a custom provider must say everything,
// and no endpoint of another host goes without TLS.
TEST(GatewayFile, OAuthSignInFromPresetsOrGivenInFull) {
  const std::string head = "[me]\npassword = p\nuser = me@outlook.com\nauth = oauth2\n";
  const auto microsoft = ParseGatewayConfig(head + "provider = microsoft\nclient-id = C\ntenant = organizations\n", "gw");
  ASSERT_TRUE(microsoft[0].oauth);
  EXPECT_EQ(microsoft[0].server.Url(), "imaps://outlook.office365.com:993");
  EXPECT_EQ(microsoft[0].oauth->deviceEndpoint, "https://login.microsoftonline.com/organizations/oauth2/v2.0/devicecode");
  EXPECT_EQ(microsoft[0].oauth->scope, "https://outlook.office.com/IMAP.AccessAsUser.All offline_access");
  const auto google = ParseGatewayConfig(head + "provider = google\nclient-id = C\nimap = imaps://localhost:1993\n", "gw");
  EXPECT_EQ(google[0].server.Url(), "imaps://localhost:1993");
  EXPECT_EQ(google[0].oauth->tokenEndpoint, "https://oauth2.googleapis.com/token");

  EXPECT_EQ(ErrorOf(head + "provider = microsoft\n"),
            "gw.conf:1: [me] needs \"client-id\": the id of the program registered with microsoft (this build has "
            "none of its own)");
  EXPECT_EQ(ErrorOf(head + "imap = imaps://h\nclient-id = C\ntoken-endpoint = http://id.example/token\n"
                    "device-endpoint = https://id.example/device\n"),
            "gw.conf:1: [me] token-endpoint must be an https:// address (plain http only to this machine): "
            "http://id.example/token");
  EXPECT_NO_THROW(ParseGatewayConfig(head + "imap = imaps://h\nclient-id = C\ntoken-endpoint = http://127.0.0.1:9/t\n"
                                     "device-endpoint = http://localhost:9/d\n", "gw"));
  EXPECT_EQ(ErrorOf(head + "provider = yahoo\n"), "gw.conf:1: [me] provider is microsoft, google or custom, not \"yahoo\"");
  EXPECT_EQ(ErrorOf(head + "provider = google\nclient-id = C\npassword-env = V\n"),
            "gw.conf:1: [me] signs in with OAuth 2.0 and needs no IMAP password source");
  EXPECT_EQ(ErrorOf("[a]\npassword = p\nimap = imaps://h\nuser = u\npassword-env = V\nclient-id = C\n"),
            "gw.conf:6: \"client-id\" is for auth = oauth2 only");
  EXPECT_NO_THROW(ParseGatewayConfig(head + "imap = imaps://h\ntoken-command = get-token\n", "gw"));
}

// The notifier sends its password in Latin-1 ("\xE4" as %E4); the file is UTF-8.
TEST(GatewayFile, TheLocalPasswordIsKeptAsTheNotifierSendsIt) {
  const auto entry = [](const std::string& password) {
    return "[a]\npassword = " + password + "\nimap = imaps://h\nuser = u\npassword-env = V\n";
  };
  const auto password = [&](const std::string& value) {
    return ParseGatewayConfig(entry(value), "gw.conf")[0].password;
  };
  EXPECT_EQ(password("gl\xC3\xBC" "ck"), webmail::DecodeFormValue("gl%FCck"));
  std::string sixteen;
  for (int i = 0; i < 16; ++i) sixteen += "\xC3\xA4";
  EXPECT_EQ(password(sixteen), std::string(16, '\xE4')) << "16 characters, though 32 bytes in the file";
  EXPECT_EQ(ErrorOf(entry(sixteen + "x")),
            "gw.conf:2: the local password must be 1 to 16 characters (the notifier's field holds 16)");

  const std::string refused =
      "gw.conf:2: the local password of [a] holds a character beyond Latin-1 or bytes that are not UTF-8; the "
      "notifier sends only Latin-1 characters";
  EXPECT_EQ(ErrorOf(entry("5\xE2\x82\xAC")), refused);  // the euro sign
  EXPECT_EQ(ErrorOf(entry("gl\xFC" "ck")), refused);      // a Latin-1 file
  EXPECT_EQ(ErrorOf(entry("\xE0\x81\xA1")), refused);     // "a" in three bytes
  EXPECT_EQ(ErrorOf(entry("x\xC2\x85")), "gw.conf:2: control character in the local password");
}

TEST(GatewayFile, OnlyAnOwnerOnlyFileIsRead) {
  const std::string text = "[a]\npassword = p\nimap = imaps://h\nuser = u\npassword-env = V\n";
  for (const mode_t mode : {0644, 0640, 0604, 0620}) {
    TempFile file(text, mode);
    EXPECT_THROW(webmail::ReadGatewayConfig(file.path), GatewayConfigError) << std::oct << mode;
  }
  TempFile file(text, 0600);
  EXPECT_EQ(webmail::ReadGatewayConfig(file.path).size(), 1u);
  EXPECT_THROW(webmail::ReadGatewayConfig(file.path.string() + ".missing"), GatewayConfigError);
}

TEST(PasswordSources, VariableFileAndCommand) {
  ::setenv("GATEWAY_TEST_PW", "from env", 1);
  EXPECT_EQ(FetchPassword({PasswordSource::Kind::Environment, "GATEWAY_TEST_PW"}, kLimit), "from env");
  ::unsetenv("GATEWAY_TEST_PW");
  EXPECT_THROW(FetchPassword({PasswordSource::Kind::Environment, "GATEWAY_TEST_PW"}, kLimit), GatewayConfigError);

  TempFile file("s3cret pw\r\nsecond line\n", 0600);
  EXPECT_EQ(FetchPassword({PasswordSource::Kind::File, file.path}, kLimit), "s3cret pw");
  ::chmod(file.path.c_str(), 0640);
  EXPECT_THROW(FetchPassword({PasswordSource::Kind::File, file.path}, kLimit), GatewayConfigError);

  EXPECT_EQ(FetchPassword({PasswordSource::Kind::Command, "printf 'p w|x\\nnext'"}, kLimit), "p w|x");
  EXPECT_EQ(FetchPassword({PasswordSource::Kind::Command, "read line; echo \"[$line]\""}, kLimit), "[]")
      << "the command reads no input of ours";
}

TEST(PasswordSources, FailuresNeverShowThePassword) {
  const auto error = [](const std::string& command, std::chrono::milliseconds limit = kLimit) {
    try {
      FetchPassword({PasswordSource::Kind::Command, command}, limit);
    } catch (const GatewayConfigError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(error("echo hunter2; exit 3"), "The password command failed (status 3)");
  EXPECT_EQ(error("echo hunter2; kill -9 $$"), "The password command failed (status 137)");
  EXPECT_EQ(error("true"), "The IMAP password from its source is empty");
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(error("echo hunter2; exec sleep 30", std::chrono::milliseconds(300)),
            "The password command did not finish within 0.3 seconds");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}
