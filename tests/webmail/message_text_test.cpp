// SPDX-License-Identifier: MIT
// Text from real mail made fit for the pages: what the notifier can hold and read back.

#include <gtest/gtest.h>

#include "notifier_steps.h"
#include "webmail/http/request_handler.h"
#include "webmail/service/mailbox_page.h"
#include "webmail/store/mail_store.h"
#include "webmail/store/message_text.h"

using namespace webmail;

namespace {

// A message as the gateway makes one from UTF-8 mail.
MailMessage FromMail(const std::string& id, std::string_view sender, std::string_view subject, std::string_view body) {
  return {id,
          CellText(Utf8ToLatin1(sender), kMaxSenderCell, "(unknown sender)"),
          "Jan 02 2025 10:00",
          CellText(Utf8ToLatin1(subject), kMaxSubjectCell, "(no subject)"),
          "1k",
          BodyLines(Utf8ToLatin1(body), 4096)};
}

}  // namespace

TEST(MessageText, Utf8BecomesLatin1WithStandInsAndQuestionMarks) {
  EXPECT_EQ(Utf8ToLatin1("Gr\xC3\xBC\xC3\x9F" "e \xC2\xA0\xC3\xBF"), "Gr\xFC\xDF" "e \xA0\xFF");
  EXPECT_EQ(Utf8ToLatin1("\xE2\x80\x9CQuote\xE2\x80\x9D \xE2\x80\x93 \xE2\x82\xAC" "5\xE2\x80\xA6"),
            "\"Quote\" - EUR5...");
  EXPECT_EQ(Utf8ToLatin1("\xE2\x98\x83 \xF0\x9F\x98\x80 \xC2\x85"), "? ? ?");  // snowman, emoji, C1 control
  EXPECT_EQ(Utf8ToLatin1("a\xFF" "b\xC3" "c\xE2\x82" "d\xC0\xAF"), "a?b?c?d??");  // malformed and overlong
  EXPECT_EQ(Utf8ToLatin1("\xE0\x80\xBC \xF0\x80\x81\xBC \xED\xA0\x80"), "? ? ?");  // overlong '<', surrogate
}

TEST(MessageText, CellsHoldNothingTheRowReadingWouldMisread) {
  EXPECT_EQ(CellText("A | B <c@d> &nbsp;x", 60, "-"), "A / B (c@d) x");
  EXPECT_EQ(CellText("  two\r\n\tlines  ", 60, "-"), "two lines");
  EXPECT_EQ(CellText(" \r\n ", 60, "(none)"), "(none)");
  EXPECT_EQ(CellText(std::string(70, 'x'), 60, "-"), std::string(57, 'x') + "...");
}

TEST(MessageText, MailTextSpellsNoMarkerOfTheNotifier) {
  // Its search is for exact bytes: only "We're" itself reads as the failed login.
  EXPECT_EQ(CellText("We're WE'RE we're We\xB4re", 60, "-"), "We\xB4re WE'RE we're We\xB4re");
  EXPECT_EQ(CellText(Utf8ToLatin1("We\xE2\x80\x99re here"), 60, "-"), "We\xB4re here");
  EXPECT_EQ(CellText("We'We'rere", 60, "-"), "We'We\xB4rere");
  EXPECT_EQ(BodyLines("We're </pre></div></pre></div>", 100),
            std::vector<std::string>{"We\xB4re </pre> </div></pre> </div>"});
}

// The notifier's own scan over the pages of mail that carries every marker it searches for.
TEST(MessageText, TheNotifierReadsMarkedMailAsPlainMail) {
  const std::vector<MailMessage> messages = {
      FromMail("U1-1", "We're <team@example.org>", "We\xE2\x80\x99re sorry | Mailbox</title> 7 new</font>",
               "We're here.\n</pre></div>\n<div><pre>\nMailbox</title> 9 new</font> &nbsp;|x|\n"),
      FromMail("U1-2", "\"><td><img name=\"U9-9\"", "<input type=\"hidden\" name=\"sid\" value=\"x\">",
               "<a href=\"http://192.0.2.20/cgi-bin/logout?sid=x\">out</a>\r\nWe\xE2\x80\x99re"),
      FromMail("U1-3", "a&nbsp;|&nbsp;b\r\nWe're", "http://192.0.2.20/x\" <a href=\"/cgi-bin/getmsg?msg=U9\">", ""),
  };
  RequestHandler handler{{Account{"alice", "pw", messages}}, std::nullopt, {}};
  const notifier::Answer login = notifier::Exchange(handler, notifier::LoginRequest("alice", "pw"));
  ASSERT_EQ(login.status, 200);
  PageText page;
  page.Load(login.body);
  EXPECT_EQ(page.Find("We're"), 0u) << "the check cycle would report a failed login";

  const MailboxState state = notifier::Scan(login, page);
  ASSERT_EQ(state.NewMailCount, 3);
  ASSERT_EQ(state.Messages.RowCount(), 3u);
  EXPECT_TRUE(state.SessionURL.starts_with("http://192.0.2.20/cgi-bin/logout?sid=")) << state.SessionURL;
  for (std::size_t i = 0; i < messages.size(); ++i) {
    SCOPED_TRACE(messages[i].id);
    EXPECT_EQ(state.Messages.fieldNames[i], messages[i].id);
    EXPECT_TRUE(state.Messages.links[i].ends_with("&msg=" + messages[i].id)) << state.Messages.links[i];
    EXPECT_EQ(state.Messages.senders[i].text, messages[i].sender);
    EXPECT_EQ(state.Messages.dates[i], messages[i].date);
    EXPECT_EQ(state.Messages.subjects[i], messages[i].subject);
    EXPECT_EQ(state.Messages.sizes[i], messages[i].size);
  }
  EXPECT_EQ(state.Messages.senders[0].text, "We\xB4re (team@example.org)");
  const std::size_t sid = state.SessionURL.find("sid=") + 4;
  EXPECT_EQ(notifier::DeletionQuery(page, {}),
            "curmbox=ACTIVE&sid=" + state.SessionURL.substr(sid, state.SessionURL.find('&', sid) - sid) +
                "&Delete.x=Delete")
      << "a deletion sends the page's hidden fields only";

  const auto preview = [&](std::size_t i) {
    const std::string link = notifier::kLoginOrigin + state.Messages.links[i];
    return notifier::PreviewBody(notifier::Exchange(handler, notifier::GetRequest(link)).body);
  };
  EXPECT_EQ(preview(0),
            "\nWe\xB4re here.\r\n</pre> </div>\r\n<div><pre>\r\nMailbox</title> 9 new</font> &nbsp;|x|\r\n");
  EXPECT_EQ(preview(1), "\n<a href=\"http://192.0.2.20/cgi-bin/logout?sid=x\">out</a>\r\nWe\xB4re\r\n");
}

TEST(MessageText, TheLongestCellsStillFitTheNotifiersRowWindow) {
  MailMessage m{"U4294967295-4294967295", CellText(std::string(200, 'S'), kMaxSenderCell, ""), "Dec 31 2024 23:59",
                CellText(std::string(300, 'T'), kMaxSubjectCell, ""), SizeText(99'999'999'999), {}};
  EXPECT_EQ(MessageRowProblem(m), "");
  m.subject = "42 ";  // how a whole-number subject is shown
  EXPECT_EQ(MessageRowProblem(m), "");
}

TEST(MessageText, BodyLinesAreCutAndCannotEndTheBodyEarly) {
  EXPECT_EQ(BodyLines("one\r\ntwo\x01\x7F\tend </pre></div>\r\n\r\n", 1000),
            (std::vector<std::string>{"one", "two\tend </pre> </div>", ""}));
  const std::vector<std::string> cut = BodyLines(std::string(100, 'a') + "\nzzz", 50);
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[0], std::string(50, 'a'));
  EXPECT_EQ(cut[1], "[... the rest of this message is not shown ...]");
}

TEST(MessageText, HtmlIsReducedToItsText) {
  EXPECT_EQ(HtmlToText("<html><head><title>t</title><style>p{x:1}</style><script>if (a<b) x();</script></head>"
                       "<body><!-- <p>hidden</p> --><p>Hello&nbsp;<b>World</b> &amp; &lt;you&gt;</p>\n\n\n"
                       "<p>caf&eacute; &Eacute;t&eacute; &#233;&#xE9; &euro; &bogus; &#;</p>"
                       "<div>a<br/>b<BR>c</div></body></html>"),
            "Hello World & <you>\n\ncaf\xC3\xA9 \xC3\x89t\xC3\xA9 \xC3\xA9\xC3\xA9 \xE2\x82\xAC &bogus; &#;\n\na\nb\nc");
  EXPECT_EQ(HtmlToText("no markup,\r\n   just   text"), "no markup, just text");
  EXPECT_EQ(HtmlToText("cut <a href="), "cut");
}

TEST(MessageText, SizesInWholeKilobytesRoundedUp) {
  EXPECT_EQ(SizeText(0), "1k");
  EXPECT_EQ(SizeText(1024), "1k");
  EXPECT_EQ(SizeText(1025), "2k");
  EXPECT_EQ(SizeText(420'000), "411k");
}
