// SPDX-License-Identifier: MIT
#include "session/page_text.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(PageText, NormalisesEveryLineBreakToCrLf) {
  PageText page;
  page.Load("a\nb\rc\r\nd\n\re"s);
  EXPECT_EQ(page.Text(), "a\r\nb\r\nc\r\nd\r\n\r\ne");
  page.Load("\r\r\n\n"s);
  EXPECT_EQ(page.Text(), "\r\n\r\n\r\n");
}

TEST(PageText, EndsAtFirstNul) {
  PageText page;
  page.Load("abc\0def"s);
  EXPECT_EQ(page.Text(), "abc");
  page.Load("\0abc"s);
  EXPECT_EQ(page.Text(), "");
}

TEST(PageText, CapacityCountsNormalisedCharactersAndKeepsOldTextOnOverflow) {
  PageText page;
  page.Load("old");
  page.Load(std::string(PageText::kCapacity, 'x'));
  EXPECT_EQ(page.Text().size(), PageText::kCapacity);

  page.Load("old");
  // Half the capacity in lone LFs doubles to exactly the capacity; one more byte is too many.
  page.Load(std::string(PageText::kCapacity / 2, '\n'));
  EXPECT_EQ(page.Text().size(), PageText::kCapacity);
  page.Load("old");
  try {
    page.Load(std::string(PageText::kCapacity / 2, '\n') + "y");
    FAIL() << "overflow not reported";
  } catch (const PageTextOverflow& e) {
    EXPECT_STREQ(e.what(), "Text exceeds memo capacity");
  }
  EXPECT_EQ(page.Text(), "old");
  // What follows a NUL does not count.
  page.Load("ok\0"s + std::string(PageText::kCapacity + 1, 'z'));
  EXPECT_EQ(page.Text(), "ok");
}

TEST(PageText, ReadsAndReplacesAreClampedToTheText) {
  PageText page;
  page.Load("0123456789");
  EXPECT_EQ(page.Read(7, 10), "789");
  EXPECT_EQ(page.Read(10, 5), "");
  EXPECT_EQ(page.Read(50, 5), "");
  EXPECT_EQ(page.Read(0, 0), "");
  page.Replace(8, 2, "ab");
  EXPECT_EQ(page.Text(), "01234567ab");
  page.Replace(9, 5, "Z");
  EXPECT_EQ(page.Text(), "01234567aZ");
  page.Replace(20, 3, "end");
  EXPECT_EQ(page.Text(), "01234567aZend");
}

TEST(PageText, FindIsOneBasedAndSeesOverwrittenMarkersNoMore) {
  PageText page;
  page.Load("xx\"><td><img a \"><td><img b");
  EXPECT_EQ(page.Find("\"><td><img"), 3u);
  EXPECT_EQ(page.Find("absent"), 0u);
  EXPECT_EQ(page.Find("x"), 1u);
  page.Replace(2, 10, "morvelan!!");
  EXPECT_EQ(page.Find("\"><td><img"), 16u);
  EXPECT_EQ(page.Find("\"><td><img", 16), 0u);
  EXPECT_EQ(page.Find("\"><td><img", 15), 16u);
}
