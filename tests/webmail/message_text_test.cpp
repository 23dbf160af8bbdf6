// SPDX-License-Identifier: MIT
// Text from real mail made fit for the pages: what the notifier can hold and read back.

#include <gtest/gtest.h>

#include "webmail/store/mail_store.h"
#include "webmail/service/mailbox_page.h"
#include "webmail/store/message_text.h"

using namespace webmail;

TEST(MessageText, Utf8BecomesLatin1WithStandInsAndQuestionMarks) {
  EXPECT_EQ(Utf8ToLatin1("Gr\xC3\xBC\xC3\x9F" "e \xC2\xA0\xC3\xBF"), "Gr\xFC\xDF" "e \xA0\xFF");
  EXPECT_EQ(Utf8ToLatin1("\xE2\x80\x9CQuote\xE2\x80\x9D \xE2\x80\x93 \xE2\x82\xAC" "5\xE2\x80\xA6"),
            "\"Quote\" - EUR5...");
  EXPECT_EQ(Utf8ToLatin1("\xE2\x98\x83 \xF0\x9F\x98\x80 \xC2\x85"), "? ? ?");  // snowman, emoji, C1 control
  EXPECT_EQ(Utf8ToLatin1("a\xFF" "b\xC3" "c\xE2\x82" "d\xC0\xAF"), "a?b?c?d??");  // malformed and overlong
}

TEST(MessageText, CellsHoldNothingTheRowReadingWouldMisread) {
  EXPECT_EQ(CellText("A | B <c@d> &nbsp;x", 60, "-"), "A / B (c@d) x");
  EXPECT_EQ(CellText("  two\r\n\tlines  ", 60, "-"), "two lines");
  EXPECT_EQ(CellText(" \r\n ", 60, "(none)"), "(none)");
  EXPECT_EQ(CellText(std::string(70, 'x'), 60, "-"), std::string(57, 'x') + "...");
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
