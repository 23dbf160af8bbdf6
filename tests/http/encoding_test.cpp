// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "http/base64.h"
#include "http/http_date.h"

TEST(Base64, PaddingAndEveryByteValue) {
  EXPECT_EQ(EncodeBase64(""), "");
  EXPECT_EQ(EncodeBase64("f"), "Zg==");
  EXPECT_EQ(EncodeBase64("fo"), "Zm8=");
  EXPECT_EQ(EncodeBase64("foo"), "Zm9v");
  EXPECT_EQ(EncodeBase64("Aladdin:open sesame"), "QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
  EXPECT_EQ(EncodeBase64("user:"), "dXNlcjo=");
  EXPECT_EQ(EncodeBase64(std::string("\xff\xfe\x00", 3)), "//4A");
}

TEST(HttpDate, WeekdaysDatesAndTimeOfDay) {
  EXPECT_EQ(FormatHttpDate(36526.0), "Sat, 01 Jan 2000 00:00:00");
  EXPECT_EQ(FormatHttpDate(36526.75), "Sat, 01 Jan 2000 18:00:00");
  EXPECT_EQ(FormatHttpDate(2.0), "Mon, 01 Jan 1900 00:00:00");
  EXPECT_EQ(FormatHttpDate(0.0), "Sat, 30 Dec 1899 00:00:00");
  EXPECT_EQ(FormatHttpDate(36585.5 + 1.0 / 86400 * 5), "Tue, 29 Feb 2000 12:00:05");  // a leap day
  EXPECT_EQ(FormatHttpDate(46364.0 + 86399.9996 / 86400), "Tue, 08 Dec 2026 23:59:59");
}
