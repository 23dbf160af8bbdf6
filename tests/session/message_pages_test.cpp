// SPDX-License-Identifier: MIT
// The deletion query and the preview body, cut from pages as the service writes them.

#include <gtest/gtest.h>

#include "session/list_error.h"
#include "session/message_deletion.h"
#include "session/message_preview.h"

namespace {

MessageList Rows(const std::vector<std::pair<std::string, bool>>& rows) {
  MessageList list;
  for (const auto& [name, checked] : rows) {
    list.fieldNames.push_back(name);
    list.senders.push_back({"sender of " + name, checked ? CheckState::Checked : CheckState::Unchecked});
  }
  return list;
}

std::string Query(const std::string& text, const MessageList& list) {
  PageText page;
  page.Load(text);
  return BuildDeletionQuery(page, list);
}

}  // namespace

TEST(DeletionQuery, HiddenFieldsThenCheckedRowsThenTheButton) {
  const std::string form = "<form><input type=\"hidden\" name=\"a\" value=\"1\">\r\n"
                           "<input type=\"checkbox\" name=\"r1\"><input type=\"hidden\" name=\"b\" value=\"2\"></form>";
  EXPECT_EQ(Query(form, Rows({{"r1", true}, {"r2", false}, {"r3", true}})), "a=1&b=2&r1=TRUE&r3=TRUE&Delete.x=Delete");
  EXPECT_EQ(Query(form, Rows({{"r1", false}})), "a=1&b=2&Delete.x=Delete");
  EXPECT_EQ(Query("<html>no form</html>", Rows({{"r2", true}})), "&r2=TRUE&Delete.x=Delete");
  MessageList grayed = Rows({{"r1", false}});
  grayed.senders[0].state = CheckState::Grayed;
  EXPECT_EQ(Query(form, grayed), "a=1&b=2&Delete.x=Delete");
}

TEST(DeletionQuery, OddTagsAreReadAsTheyStand) {
  const std::string longName(40, 'n');
  EXPECT_EQ(Query("<input type=\"hidden\" name=\"" + longName + "\" value=\"\">", {}),
            std::string(30, 'n') + "=&Delete.x=Delete");
  // No name=": the name is read from offset 6 of the tag text, cut at a quote.
  EXPECT_EQ(Query("<input type=\"hidden\" value=\"v\">", {}), "e==v&Delete.x=Delete");
  // A ">" far away: both attributes are searched in the whole 200-character window.
  EXPECT_EQ(Query("<input type=\"hidden\"" + std::string(150, ' ') + "name=\"x\" value=\"y\"" + std::string(100, ' ') + ">",
                  {}),
            "x=y&Delete.x=Delete");
}

// Only what cannot stand in a request line is encoded; CR and LF stay for the client to refuse.
TEST(DeletionQuery, BytesUnfitForTheRequestLineAreEncodedAndNoOther) {
  const std::string field = "<input type=\"hidden\" name=\"n m\" value=\"a b\tc\v\x7f\x85\x9f\xa0%2B+&=\">";
  EXPECT_EQ(Query(field, Rows({{"r s", true}})), "n%20m=a%20b%09c%0B%7F%85%9F\xa0%2B+&=&r%20s=TRUE&Delete.x=Delete");
  EXPECT_EQ(Query("<input type=\"hidden\" name=\"n\" value=\"x\r\ny\">", {}), "n=x\r\ny&Delete.x=Delete");
}

TEST(DeletionQuery, CollectedFieldsAreMarkedAndNeverCollectedTwice) {
  PageText page;
  page.Load("<input type=\"hidden\" name=\"s\" value=\"1\"><input type=\"hidden\" name=\"t\" value=\"2\">");
  const std::size_t length = page.Text().size();
  EXPECT_EQ(BuildDeletionQuery(page, {}), "s=1&t=2&Delete.x=Delete");
  EXPECT_EQ(page.Text().size(), length);
  EXPECT_EQ(page.Find("<tupni type=\"hidden\" name=\"t\""), 41u);
  EXPECT_EQ(BuildDeletionQuery(page, Rows({{"r", true}})), "&r=TRUE&Delete.x=Delete");
}

TEST(DeletionQuery, ACheckedStatusLineHasNoFieldName) {
  MessageList list = Rows({{"r1", false}});
  list.AppendStatusLine("Sorry, login failed!");
  list.senders[1].state = CheckState::Checked;
  PageText page;
  try {
    BuildDeletionQuery(page, list);
    FAIL();
  } catch (const ListIndexError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (1)");
  }
}

TEST(PreviewBody, MarkersPresentMissingOrOutOfOrder) {
  EXPECT_EQ(ExtractPreviewBody("<div><pre>\r\nHello\r\n</pre></div>"), "\nHello\r\n");
  EXPECT_EQ(ExtractPreviewBody("x<div><pre>Hello</pre></div>y"), "ello");
  EXPECT_EQ(ExtractPreviewBody("<div><pre>Hello world"), "ello world");
  EXPECT_EQ(ExtractPreviewBody("0123456789abcdef"), "abcdef");
  EXPECT_EQ(ExtractPreviewBody("0123456789"), "");
  EXPECT_EQ(ExtractPreviewBody("short"), "");
  EXPECT_EQ(ExtractPreviewBody("0123456789body</pre></div>"), "body");
  EXPECT_EQ(ExtractPreviewBody("012</pre></div>"), "</pre><");  // end before start: the text between
  EXPECT_EQ(ExtractPreviewBody("</pre></div> <div><pre>xy"), "</pre></div> <div><pre>x");
}
