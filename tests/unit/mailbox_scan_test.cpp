// SPDX-License-Identifier: MIT
#include "session/mailbox_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mailbox_page.h"

using testpage::MakeRow;
using testpage::Page;
using testpage::Row;

namespace {

std::vector<std::string> Senders(const MailboxState& s) {
  std::vector<std::string> out;
  for (const SenderItem& item : s.Messages.senders) out.push_back(item.text);
  return out;
}

struct Scan : ::testing::Test {
  PageText page;
  MailboxState state;

  void Run(const std::string& body, bool headers = true) {
    page.Load(body);
    ScanMailbox(page, headers, state);
  }
  std::int32_t CountOf(const std::string& countText) {
    Run(Page(countText, {}), false);
    return state.NewMailCount;
  }
};

}  // namespace

TEST_F(Scan, ReadsCountRowsAndSessionUrlOfAMailboxPage) {
  std::vector<Row> rows = {MakeRow(1), MakeRow(2), MakeRow(3)};
  rows[1].dateSecondCell = "12";
  Run(Page("3", rows));

  EXPECT_EQ(state.NewMailCount, 3);
  EXPECT_EQ(state.SessionURL, "http://192.0.2.20/cgi-bin/logout?sid=S1");
  EXPECT_EQ(state.Messages.fieldNames, (std::vector<std::string>{"MSG1", "MSG2", "MSG3"}));
  EXPECT_EQ(state.Messages.links[2], "/cgi-bin/getmsg?msg=MSG3");
  EXPECT_EQ(Senders(state), (std::vector<std::string>{"Sender 1", "Sender 2", "Sender 3"}));
  EXPECT_EQ(state.Messages.dates, (std::vector<std::string>{"Dec 1", "Dec 2/12", "Dec 3"}));
  EXPECT_EQ(state.Messages.subjects, (std::vector<std::string>{"Subject 1", "Subject 2", "Subject 3"}));
  EXPECT_EQ(state.Messages.sizes, (std::vector<std::string>{"1k", "2k", "3k"}));
  EXPECT_EQ(state.Messages.senders[0].state, CheckState::Unchecked);
  EXPECT_EQ(state.TrayIconIndex, kIconNewMail);
  EXPECT_EQ(state.TrayHint, "You have 3 new mails in your Hotmail account!");
  EXPECT_TRUE(state.MessageButtonsEnabled);
  EXPECT_EQ(state.StatusText, "Checking Headers");
}

TEST_F(Scan, MarksProcessedRowsSoARescanOfTheSameTextFindsNone) {
  Run(Page("2", {MakeRow(1), MakeRow(2)}));
  const std::size_t length = page.Text().size();
  EXPECT_EQ(page.Find("\"><td><img"), 0u);
  EXPECT_NE(page.Find("morvelan!!"), 0u);
  ScanMailbox(page, true, state);
  EXPECT_EQ(page.Text().size(), length);
  EXPECT_EQ(state.NewMailCount, 2);
  EXPECT_TRUE(state.Messages.senders.empty());
  EXPECT_TRUE(state.MessageButtonsEnabled);
}

TEST_F(Scan, ThirdCellDecidesWhetherTheDateWasSplit) {
  Row split = MakeRow(1), plain = MakeRow(2), spaced = MakeRow(3), trailing = MakeRow(4), hex = MakeRow(5),
      big = MakeRow(6);
  split.date = "Jan 7";
  split.dateSecondCell = "12";
  plain.subject = "Hello";
  spaced.dateSecondCell = " 7";
  trailing.dateSecondCell = "7 ";
  hex.dateSecondCell = "-$1F";
  big.dateSecondCell = "2147483648";
  Run(Page("12", {split, plain, spaced, trailing, hex, big}));

  const auto& m = state.Messages;
  EXPECT_EQ(m.dates[0], "Jan 7/12");
  EXPECT_EQ(m.subjects[0], "Subject 1");
  EXPECT_EQ(m.sizes[0], "1k");
  EXPECT_EQ(m.dates[1], "Dec 2");
  EXPECT_EQ(m.subjects[1], "Hello");
  EXPECT_EQ(m.sizes[1], "2k");
  EXPECT_EQ(m.dates[2], "Dec 3/ 7");
  EXPECT_EQ(m.dates[3], "Dec 4");  // "7 " is not a whole number: it becomes the subject
  EXPECT_EQ(m.subjects[3], "7 ");
  EXPECT_EQ(m.sizes[3], "Subject 4");
  EXPECT_EQ(m.dates[4], "Dec 5/-$1F");
  EXPECT_EQ(m.dates[5], "Dec 6");  // beyond the signed 32-bit range
  EXPECT_EQ(m.RowCount(), 6u);        // fewer rows than the count: only those present
}

TEST_F(Scan, CountIsTheTextAfterTheFirstSpaceOfTheWindow) {
  EXPECT_EQ(CountOf("12"), 12);
  EXPECT_EQ(CountOf("5<"), 5);
  EXPECT_EQ(CountOf("+4"), 4);
  EXPECT_EQ(CountOf("-2"), -2);
  EXPECT_EQ(CountOf("-2<"), 2);  // a sign counts only when nothing follows the digits
  EXPECT_EQ(CountOf("$1F"), 31);
  EXPECT_EQ(CountOf("x"), 0);
  EXPECT_EQ(CountOf(""), 0);
  EXPECT_EQ(CountOf("1 2"), 1);  // the count text is '1 2': digits up to the space
  EXPECT_EQ(CountOf("123456"), 123456);
  EXPECT_EQ(CountOf("1234567"), 0);  // no space left in the window

  Run("<title>Mailbox</title>2><b> 3 new</font>", false);
  EXPECT_EQ(state.NewMailCount, 3);
  Run("<title>Mailbox</title>ze=2><b>3 new</font>", false);
  EXPECT_EQ(state.NewMailCount, 0);
}

TEST_F(Scan, CountMarkerNearTheStartOrMissing) {
  Run(" 9 new</font><title>Mailbox</title>", false);
  EXPECT_EQ(state.NewMailCount, 9);
  Run("9 new</font><title>Mailbox</title>", false);
  EXPECT_EQ(state.NewMailCount, 0);
  Run(Page("4", {}), false);
  Run("<title>Mailbox</title> no count here", false);
  EXPECT_EQ(state.NewMailCount, 0);
}

TEST_F(Scan, NoNewMailShowsTheStatusLineAlone) {
  Run(Page("0", {MakeRow(1)}));
  EXPECT_EQ(state.StatusText, "Checking Headers");
  EXPECT_EQ(Senders(state), std::vector<std::string>{"No mail for you!"});
  EXPECT_TRUE(state.Messages.fieldNames.empty());
  EXPECT_EQ(state.TrayIconIndex, kIconNoMail);
  EXPECT_EQ(state.TrayHint, "No mail for you!");
  EXPECT_FALSE(state.MessageButtonsEnabled);

  Run(Page("-2", {MakeRow(1)}));
  EXPECT_EQ(Senders(state), std::vector<std::string>{"No mail for you!"});
}

TEST_F(Scan, WithoutHeadersOnlyTheCountIsRead) {
  Run(Page("2", {MakeRow(1), MakeRow(2)}), false);
  EXPECT_EQ(state.StatusText, "Processing...");
  EXPECT_EQ(state.NewMailCount, 2);
  EXPECT_TRUE(state.Messages.senders.empty());
  EXPECT_NE(page.Find("\"><td><img"), 0u);
  EXPECT_EQ(state.TrayHint, "You have 2 new mails in your Hotmail account!");
}

TEST_F(Scan, NonMailboxPageKeepsThePreviousCount) {
  Run(Page("3", {MakeRow(1), MakeRow(2), MakeRow(3)}));
  Run("<html><title>Something else</title> 7 new</font> http://192.0.2.20/x\"");
  EXPECT_EQ(state.NewMailCount, 3);
  EXPECT_TRUE(state.SessionURL.empty());
  EXPECT_TRUE(state.Messages.senders.empty());
  EXPECT_TRUE(state.Messages.fieldNames.empty());
  EXPECT_EQ(state.TrayIconIndex, kIconNewMail);
  EXPECT_EQ(state.TrayHint, "You have 3 new mails in your Hotmail account!");
  EXPECT_TRUE(state.MessageButtonsEnabled);
  EXPECT_EQ(state.StatusText, "Processing...");
}

TEST_F(Scan, SecondPageReplacesTheFirstPagesRows) {
  Run(Page("2", {MakeRow(1), MakeRow(2)}));
  Run(Page("1", {MakeRow(7)}, "http://192.0.2.20/out?s=2"));
  EXPECT_EQ(Senders(state), std::vector<std::string>{"Sender 7"});
  EXPECT_EQ(state.Messages.sizes, std::vector<std::string>{"7k"});
  EXPECT_EQ(state.SessionURL, "http://192.0.2.20/out?s=2");
}

TEST_F(Scan, SessionUrlRunsToTheFirstQuoteWithinItsWindow) {
  Run("http://192.0.2.20/early\" <title>Mailbox</title> 1 new</font>", false);
  EXPECT_EQ(state.SessionURL, "http://192.0.2.20/early");
  Run("<title>Mailbox</title> http://192.0.2.20/" + std::string(900, 'a'), false);
  EXPECT_EQ(state.SessionURL.size(), 799u);  // no quote: the window less its last character
  Run("<title>Mailbox</title> http://192.0.2.20/end", false);
  EXPECT_EQ(state.SessionURL, "http://192.0.2.20/en");
  Run("<title>Mailbox</title> http://192.0.2.10/login\"", false);
  EXPECT_TRUE(state.SessionURL.empty());
}
