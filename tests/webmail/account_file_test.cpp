// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "webmail/store/accounts.h"

using webmail::Account;
using webmail::AccountFileError;
using webmail::ParseAccounts;

namespace {

std::string ErrorOf(const std::string& text) {
  try {
    ParseAccounts(text, "f");
  } catch (const AccountFileError& e) {
    return e.what();
  }
  return "(accepted)";
}

const std::string kAccount = "account a\npassword p\n";
const std::string kCells = "from S\ndate D\nsubject T\nsize 1k\n";

}  // namespace

TEST(AccountFile, ReadsAccountsMessagesAndBodies) {
  const std::vector<Account> accounts = ParseAccounts(
      "# comment\r\n\r\naccount a\r\npassword  two words \r\nmessage M1\r\nfrom  Ann  \r\ndate 12/07\r\nsubject 42\r\n"
      "size 2k\r\nbody   indented\r\nbody\r\nbody last  \r\naccount b\npassword\n",
      "f");
  ASSERT_EQ(accounts.size(), 2u);
  EXPECT_EQ(accounts[0].password, "two words");
  ASSERT_EQ(accounts[0].messages.size(), 1u);
  const webmail::MailMessage& m = accounts[0].messages[0];
  EXPECT_EQ(m.sender, "Ann");
  EXPECT_EQ(m.date, "12/07");
  EXPECT_EQ(m.subject, "42");  // a number is a fine subject under a split date
  EXPECT_EQ(m.bodyLines, (std::vector<std::string>{"  indented", "", "last"}));
  EXPECT_EQ(accounts[1].login, "b");
  EXPECT_EQ(accounts[1].password, "");
  EXPECT_TRUE(accounts[1].messages.empty());
}

TEST(AccountFile, ErrorsNameTheLineAndTheProblem) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "f: holds no account"},
      {"password p\n", "f:1: \"password\" before any \"account\" line"},
      {"message M\n", "f:1: \"message\" before any \"account\" line"},
      {kAccount + "from S\n", "f:3: \"from\" before any \"message\" line"},
      {kAccount + "\nsubjct T\n", "f:4: unknown key \"subjct\""},
      {"account a\n\naccount b\npassword p\n", "f:1: account \"a\" has no \"password\" line"},
      {kAccount + "password q\n", "f:3: account \"a\" has two passwords"},
      {kAccount + kAccount, "f:3: account \"a\" is defined twice"},
      {"account alice@hotmail\n", "f:1: login \"alice@hotmail\" must be 1 to 16"},
      {"account abcdefghijklmnopq\n", "f:1: login \"abcdefghijklmnopq\" must be 1 to 16"},
      {kAccount + "message M 1\n", "f:3: message id \"M 1\" must be 1 to 30"},
      {kAccount + "message " + std::string(31, 'm') + "\n", "must be 1 to 30"},
      {kAccount + "message sid\n", "f:3: message id \"sid\" is the name of a form field"},
      {kAccount + "message M\n" + kCells + "message M\n", "f:8: message id \"M\" is used twice"},
      {kAccount + "message M\nfrom S\ndate D\nsize 1k\n", "f:3: message \"M\" has no \"subject\" line"},
      {kAccount + "message M\n" + kCells + "from X\n", "f:8: message \"M\" has two \"from\" lines"},
      {kAccount + "message M\nfrom A|B\ndate D\nsubject T\nsize 1\n", "f:3: message \"M\": sender holds '|'"},
      {kAccount + "message M\nfrom A\ndate D\nsubject <b>\nsize 1\n", "f:3: message \"M\": subject holds '|', '<'"},
      {kAccount + "message M\nfrom A\ndate D\nsubject a&nbsp;b\nsize 1\n", "subject holds \"&nbsp;\""},
      {kAccount + "message M\nfrom A\ndate D\nsubject T\nsize\n", "f:3: message \"M\": size is empty"},
      {kAccount + "message M\nfrom A\ndate Dec 7\nsubject 42\nsize 1\n",
       "subject \"42\" would read as the second half"},
      {kAccount + "message M\nfrom A\ndate D\nsubject " + std::string(400, 's') + "\nsize 1\n",
       "f:3: message \"M\": the row is"},
      {kAccount + "message M\n" + kCells + "body a</pre></div>b\n", "f:3: message \"M\": the body holds"},
      {kAccount + "message M\n" + kCells + "body a\x01\n", "f:8: control character"},
  };
  for (const auto& [text, expected] : cases) {
    const std::string error = ErrorOf(text);
    EXPECT_NE(error.find(expected), std::string::npos) << "file:\n" << text << "\nerror: " << error;
  }
}

TEST(AccountFile, DefaultsAndTheShippedExampleAgree) {
  const std::vector<Account> defaults = webmail::DefaultAccounts();
  ASSERT_EQ(defaults.size(), 1u);
  EXPECT_EQ(defaults[0].login, "alice");
  EXPECT_EQ(defaults[0].password, "wonderland");
  ASSERT_EQ(defaults[0].messages.size(), 4u);

  const std::vector<Account> example = webmail::ReadAccountsFile(WEBMAIL_EXAMPLE_ACCOUNTS);
  ASSERT_GE(example.size(), 2u);
  EXPECT_EQ(example[0].login, defaults[0].login);
  ASSERT_EQ(example[0].messages.size(), defaults[0].messages.size());
  for (std::size_t i = 0; i < defaults[0].messages.size(); ++i) {
    EXPECT_EQ(example[0].messages[i].id, defaults[0].messages[i].id);
    EXPECT_EQ(example[0].messages[i].bodyLines, defaults[0].messages[i].bodyLines);
  }
  EXPECT_THROW(webmail::ReadAccountsFile("/nonexistent/accounts"), AccountFileError);
}
