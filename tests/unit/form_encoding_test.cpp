// SPDX-License-Identifier: MIT
#include "session/form_encoding.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "session/stored_password.h"

TEST(FormEncoding, KeepsOnlyTheSafeSetAndEscapesTheRest) {
  EXPECT_EQ(EncodeFormValue(""), "");
  EXPECT_EQ(EncodeFormValue(" "), "+");
  EXPECT_EQ(EncodeFormValue("a b"), "a+b");
  EXPECT_EQ(EncodeFormValue("x_y-z"), "x%5Fy%2Dz");
  EXPECT_EQ(EncodeFormValue("C:\\d.e/f"), "C%3A\\d.e/f");
  EXPECT_EQ(EncodeFormValue("@*~+&="), "%40%2A%7E%2B%26%3D");
  EXPECT_EQ(EncodeFormValue(std::string(1, '\x07')), "%07");
  EXPECT_EQ(EncodeFormValue(std::string(1, '\n')), "%0A");
  EXPECT_EQ(EncodeFormValue(std::string(1, '\xE9')), "%E9");
  EXPECT_EQ(EncodeFormValue(std::string(1, '\0')), "%00");
}

TEST(FormEncoding, EveryByteDecodesBackAndNeverBreaksTheBody) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  const std::string encoded = EncodeFormValue(all);
  std::string decoded;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    const char c = encoded[i];
    ASSERT_TRUE(c != '&' && c != '=' && c >= 33 && c <= 126) << "unsafe byte " << int(c);
    if (c == '+') {
      decoded += ' ';
    } else if (c == '%') {
      decoded += static_cast<char>(std::stoi(encoded.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += c;
    }
  }
  EXPECT_EQ(decoded, all);
}

TEST(StoredPassword, EveryByteRoundTripsAndPrintableTextStaysPrintable) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(DecodeStoredPassword(EncodeStoredPassword(all)), all);
  EXPECT_EQ(EncodeStoredPassword(all).size(), 256u);
  EXPECT_NE(EncodeStoredPassword("secret"), "secret");
  for (int c = 32; c < 127; ++c) {
    const auto stored = static_cast<unsigned char>(EncodeStoredPassword(std::string(1, char(c)))[0]);
    EXPECT_TRUE(stored >= 160 && stored != 0x7F) << "printable " << c << " stored as " << int(stored);
  }
  // Codes at the top wrap round to small ones.
  EXPECT_EQ(EncodeStoredPassword("\xFF"), std::string(1, static_cast<char>(0xFF + kStoredPasswordShift - 256)));
}
