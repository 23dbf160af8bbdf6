// Random bytes and random pages made of the service's markers: no helper or scan may crash or
// read out of bounds (this suite also runs under AddressSanitizer), and the linear row search
// must give exactly what a rescan from the start gives.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "session/form_encoding.h"
#include "session/mailbox_scan.h"
#include "session/row_helpers.h"
#include "session/stored_password.h"

namespace {

const std::string_view kPieces[] = {
    "Mailbox</title>", " new</font>", "\"><td><img", "morvelan!!", "<a href=\"", "name=\"", "&nbsp;",
    "http://192.0.2.20/", "\"", "<", ">", "|", "\r\n", "\n", "\r", " ", "1", "12", "$", "-", "+",
    "x", "<td>", "</td>", std::string_view("\0", 1)};

std::string RandomBytes(std::mt19937& rng, std::size_t maxLength) {
  std::string s(std::uniform_int_distribution<std::size_t>(0, maxLength)(rng), '\0');
  for (char& c : s) c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
  return s;
}

// Mostly real mailbox heads with a small count, followed by marker soup in which the row
// marker is frequent, so that the row loop runs often and meets every odd neighbour.
std::string RandomMarkerPage(std::mt19937& rng) {
  std::string page;
  if (std::uniform_int_distribution<int>(0, 4)(rng) != 0) {
    page = "<title>Mailbox</title> Inbox: " + std::to_string(std::uniform_int_distribution<int>(-2, 40)(rng)) +
           " new</font>";
  }
  const int pieces = std::uniform_int_distribution<int>(0, 400)(rng);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) + 6);
  for (int i = 0; i < pieces; ++i) {
    const std::size_t k = pick(rng);
    if (k < std::size(kPieces)) {
      page += kPieces[k];
    } else if (k < std::size(kPieces) + 5) {
      page += kPieces[2];  // the row marker
    } else {
      page += RandomBytes(rng, 8);
    }
  }
  return page;
}

void ExpectSameResult(const MailboxState& a, const MailboxState& b) {
  EXPECT_EQ(a.NewMailCount, b.NewMailCount);
  EXPECT_EQ(a.SessionURL, b.SessionURL);
  EXPECT_EQ(a.Messages.links, b.Messages.links);
  EXPECT_EQ(a.Messages.fieldNames, b.Messages.fieldNames);
  ASSERT_EQ(a.Messages.senders.size(), b.Messages.senders.size());
  for (std::size_t i = 0; i < a.Messages.senders.size(); ++i)
    EXPECT_EQ(a.Messages.senders[i].text, b.Messages.senders[i].text);
  EXPECT_EQ(a.Messages.dates, b.Messages.dates);
  EXPECT_EQ(a.Messages.subjects, b.Messages.subjects);
  EXPECT_EQ(a.Messages.sizes, b.Messages.sizes);
  EXPECT_EQ(a.TrayHint, b.TrayHint);
}

}  // namespace

TEST(SessionFuzz, HelpersTakeAnyBytes) {
  std::mt19937 rng(20261208);
  for (int i = 0; i < 3000; ++i) {
    const std::string s = RandomBytes(rng, 600);
    ExtractLinkTarget(s);
    EXPECT_LE(ExtractNameAttribute(s).size(), 30u);
    const std::string row = ExtractRowText(s);
    for (int n = -1; n < 8; ++n) EXPECT_LE(GetRowField(row, n).size(), row.size());
    EXPECT_LE(EncodeFormValue(s).size(), 3 * s.size());
    EXPECT_EQ(DecodeStoredPassword(EncodeStoredPassword(s)), s);
    PageText page;
    page.Load(s);
    EXPECT_EQ(page.Text().find('\0'), std::string::npos);
    const std::size_t at = std::uniform_int_distribution<std::size_t>(0, 700)(rng);
    page.Read(at, 50);
    page.Replace(at, 3, "abc");
  }
}

TEST(SessionFuzz, ScansOfMarkerPagesAgreeWithTheRescanFromStart) {
  std::mt19937 rng(8122026);
  std::size_t rowsSeen = 0;
  for (int i = 0; i < 3000; ++i) {
    PageText linear, rescan;
    linear.Load(RandomMarkerPage(rng));
    rescan = linear;
    MailboxState a, b;
    const bool headers = i % 4 != 0;
    ScanMailbox(linear, headers, a, RowSearch::AfterPrevious);
    ScanMailbox(rescan, headers, b, RowSearch::FromStart);
    ExpectSameResult(a, b);
    ASSERT_EQ(linear.Text(), rescan.Text());
    rowsSeen += a.Messages.RowCount();
    ScanMailbox(linear, headers, a);  // a second scan of the marked page
  }
  EXPECT_GT(rowsSeen, 1000u) << "the random pages hardly reach the row loop";
}
