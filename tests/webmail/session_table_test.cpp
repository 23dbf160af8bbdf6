// SPDX-License-Identifier: MIT
#include "webmail/service/session_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(SessionTable, IdsAreDistinctAndClosingEndsOnlyThatSession) {
  webmail::SessionTable table;
  std::set<std::string> ids;
  for (int i = 0; i < 500; ++i) {
    const std::string id = table.Open(i % 2 ? "a" : "b");
    EXPECT_EQ(id.size(), 17u);
    EXPECT_EQ(id.find_first_not_of("0123456789abcdef", 1), std::string::npos);
    ids.insert(id);
  }
  EXPECT_EQ(ids.size(), 500u);
  const std::string first = *ids.begin();
  EXPECT_TRUE(table.Close(first));
  EXPECT_FALSE(table.Close(first));
  EXPECT_EQ(table.LoginOf(first), nullptr);
  EXPECT_EQ(table.Size(), 499u);
}

TEST(SessionTable, AFullTablePushesOutTheOldestSessionOnly) {
  webmail::SessionTable table(2);
  const std::string a = table.Open("a");
  const std::string b = table.Open("b");
  const std::string c = table.Open("c");
  EXPECT_EQ(table.LoginOf(a), nullptr);
  ASSERT_NE(table.LoginOf(b), nullptr);
  EXPECT_EQ(*table.LoginOf(b), "b");
  EXPECT_EQ(*table.LoginOf(c), "c");
  table.Close(c);
  table.Open("d");
  EXPECT_NE(table.LoginOf(b), nullptr);  // a free place was taken, nothing pushed out
  EXPECT_THROW(webmail::SessionTable(0), std::invalid_argument);
}
