// SPDX-License-Identifier: MIT
#include "session/row_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

std::string RowText(std::string_view window) {
  std::string scratch = "left over from the row before";
  return std::string(ExtractRowText(window, scratch));
}

}  // namespace

TEST(RowAttributes, ValuesAreCutAtTheFirstQuoteOrTheirLimit) {
  const std::string w = R"( src="x"></td><td><input type="checkbox" name="M1"></td><td><a href="/get?m=1">A</a>)";
  EXPECT_EQ(ExtractLinkTarget(w), "/get?m=1");
  EXPECT_EQ(ExtractNameAttribute(w), "M1");

  EXPECT_EQ(ExtractNameAttribute("name=\"" + std::string(40, 'n')), std::string(30, 'n'));
  EXPECT_EQ(ExtractLinkTarget("<a href=\"" + std::string(250, 'l')), std::string(200, 'l'));
  EXPECT_EQ(ExtractLinkTarget("<a href=\"" + std::string(199, 'l') + "\"xyz"), std::string(199, 'l'));
  // The key at the very end of the window leaves nothing to read.
  EXPECT_EQ(ExtractNameAttribute("abc name=\""), "");
}

TEST(RowAttributes, MissingKeyReadsFromTheKeyLengthOn) {
  // Characters 6 to 35 (1-based) of the window, cut before a quote.
  const std::string w = "01234" + std::string("abcdefghijklmnopqrstuvwxyzABCDEFG");
  EXPECT_EQ(ExtractNameAttribute(w), w.substr(5, 30));
  EXPECT_EQ(ExtractNameAttribute("01234ab\"cd"), "ab");
  EXPECT_EQ(ExtractLinkTarget("012345678xyz"), "8xyz");
  EXPECT_EQ(ExtractLinkTarget("0123"), "");
}

TEST(RowText, CollectsVisibleTextUpToTheFirstLineBreak) {
  const std::string w =
      "x\"></td><td>&nbsp;Ann&nbsp;&nbsp;Jan 12&nbsp;</td><td>&nbsp;Hi&nbsp;</td></tr>\r\n"
      "<tr><td>&nbsp;Next&nbsp;</td>";
  EXPECT_EQ(RowText(w), "Ann||Jan 12||Hi");
  // An LF alone ends the walk as well, and a break inside a tag too.
  EXPECT_EQ(RowText(">&nbsp;A&nbsp;\nmore"), "A");
  EXPECT_EQ(RowText(">&nbsp;A<b\nc>B&nbsp;XY"), "A");
}

TEST(RowText, ShortTextsAndTagOnlyWindows) {
  EXPECT_EQ(RowText(""), "");
  EXPECT_EQ(RowText("no closing bracket at all"), "");
  EXPECT_EQ(RowText(">a"), "");    // one character: dropped as the leading one
  EXPECT_EQ(RowText(">ab"), "b");  // two: the second stays
  EXPECT_EQ(RowText(">abc"), "");
  EXPECT_EQ(RowText(">abcd"), "b");
}

TEST(RowField, SeparatorRunsAndTheLastCharacter) {
  EXPECT_EQ(GetRowField("Ann||Jan 12||Hi", 1), "Ann");
  EXPECT_EQ(GetRowField("Ann||Jan 12||Hi", 2), "Jan 12");
  EXPECT_EQ(GetRowField("Ann||Jan 12||Hi", 3), "Hi");
  EXPECT_EQ(GetRowField("Ann||Jan 12||Hi", 4), "");
  EXPECT_EQ(GetRowField("Ann||Jan 12||Hi", 0), "");
  EXPECT_EQ(GetRowField("Ann||Jan 12||Hi", -1), "");
  EXPECT_EQ(GetRowField("|", 1), "|");
  EXPECT_EQ(GetRowField("||", 1), "|");
  EXPECT_EQ(GetRowField("|a|b", 1), "");
  EXPECT_EQ(GetRowField("|a|b", 2), "a");
  EXPECT_EQ(GetRowField("|a|b", 3), "b");
  EXPECT_EQ(GetRowField("a|b|", 2), "b|");
  EXPECT_EQ(GetRowField("a||", 1), "a|");
  EXPECT_EQ(GetRowField("x", 1), "x");
  EXPECT_EQ(GetRowField("", 1), "");
}
