// SPDX-License-Identifier: MIT
// Random bytes and random pages made of the service's markers: no helper or scan may crash or
// read out of bounds (this suite also runs under AddressSanitizer), and the linear row search
// must give exactly what a rescan from the start gives.

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "session/find_bytes.h"
#include "session/form_encoding.h"
#include "session/mailbox_scan.h"
#include "session/row_helpers.h"
#include "session/stored_password.h"
#include "session/visible_text.h"

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

// The row helpers as a plain character walk, the way the page format is defined; the library's
// versions work on 64-byte blocks and must give exactly the same strings.
std::string WalkVisibleText(std::string_view window) {
  std::string visible;
  bool insideTag = true;
  for (const char c : window) {
    if (c == '<') insideTag = true;
    if (c == '>') insideTag = false;
    if (!insideTag && c != '<' && c != '>') visible += c;
    if (c == '\r' || c == '\n') break;
  }
  return visible;
}

std::string WalkReplacingNbsp(std::string_view visible) {
  std::string row;
  for (std::size_t i = 0; i < visible.size();) {
    if (visible.substr(i, 6) == "&nbsp;") {
      row += '|';
      i += 6;
    } else {
      row += visible[i++];
    }
  }
  return row;
}

std::string WalkRowText(std::string_view window) {
  std::string row = WalkReplacingNbsp(WalkVisibleText(window));
  if (!row.empty()) row.erase(0, 1);
  if (row.size() >= 2) row.resize(row.size() - 2);
  return row;
}

std::string WalkRowField(std::string_view t, int n) {
  std::string field, result;
  int separators = 0;
  for (std::size_t j = 1; j <= t.size(); ++j) {
    const char c = t[j - 1];
    if (c != '|' && j < t.size()) {
      field += c;
      continue;
    }
    if (j == t.size()) field += c;
    if (!(c == '|' && j > 1 && t[j - 2] == '|')) ++separators;
    if (separators == n) {
      result = field;
    } else {
      field.clear();
    }
  }
  return result;
}

// Row texts rich in the characters that matter: bars, their runs, tags and entities.
std::string RandomRowWindow(std::mt19937& rng) {
  static const std::string_view kRowPieces[] = {"|", "||", "|||", "&nbsp;", "&nb", "sp;", "<", ">", "<td>",
                                                "</td>", "\r", "\n", "a", "Jan 12", " ", "\"", "x"};
  std::string w;
  const int pieces = std::uniform_int_distribution<int>(0, 40)(rng);
  for (int i = 0; i < pieces; ++i) w += kRowPieces[std::uniform_int_distribution<std::size_t>(0, std::size(kRowPieces) - 1)(rng)];
  return w;
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
    std::string scratch;
    const std::string_view row = ExtractRowText(s, scratch);
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

TEST(SessionFuzz, LoadNormalisesAsTheCharacterWalkDoes) {
  std::mt19937 rng(1310);
  for (int i = 0; i < 5000; ++i) {
    std::string bytes(std::uniform_int_distribution<std::size_t>(0, 90)(rng), 'a');
    for (char& c : bytes) c = "\r\na\0"[std::uniform_int_distribution<int>(0, i % 7 == 0 ? 3 : 2)(rng)];
    std::string expected;
    for (std::size_t j = 0; j < bytes.size() && bytes[j] != '\0'; ++j) {
      if (bytes[j] != '\r' && bytes[j] != '\n') {
        expected += bytes[j];
        continue;
      }
      expected += "\r\n";
      if (bytes[j] == '\r' && j + 1 < bytes.size() && bytes[j + 1] == '\n') ++j;
    }
    PageText page;
    page.Load(bytes);
    ASSERT_EQ(page.Text(), expected) << testing::PrintToString(bytes);
  }
}

TEST(SessionFuzz, SearchesFindWhatStringViewFinds) {
  std::mt19937 rng(20);
  const std::string_view needles[] = {"\"><td><img", "&nbsp;", "<a href=\"", "name=\"", "ab", "aab", "a"};
  for (int i = 0; i < 20000; ++i) {
    // Few distinct bytes, so that partial matches and matches at every offset are common; long
    // enough for the 64- and 32-byte loops to hand over to the 16-byte one.
    std::string text(std::uniform_int_distribution<std::size_t>(0, 300)(rng), 'a');
    for (char& c : text) c = "ab\"><&;n"[std::uniform_int_distribution<int>(0, 7)(rng)];
    const std::string_view needle = needles[i % std::size(needles)];
    if (i % 3 == 0) text.insert(std::uniform_int_distribution<std::size_t>(0, text.size())(rng), needle);
    const std::size_t from = std::uniform_int_distribution<std::size_t>(0, text.size() + 1)(rng);
    ASSERT_EQ(FindBytes(text, needle, from), std::string_view(text).find(needle, from)) << text << " " << from;
    // Stopping after the occurrence at or after `from` finds what find_first_of finds.
    std::size_t found = std::string_view::npos;
    ForEachByteOf<'<', '>', ';', 'n'>(text, [&](std::size_t at) {
      if (at < from) return true;
      found = at;
      return false;
    });
    ASSERT_EQ(found, text.find_first_of("<>;n", from)) << text << " " << from;
  }
}

TEST(SessionFuzz, RowHelpersGiveWhatTheCharacterWalkGives) {
  std::mt19937 rng(1514);
  std::string scratch;  // one string for every window, as the scan keeps it
  for (int i = 0; i < 20000; ++i) {
    const std::string w = i % 4 == 0 ? RandomBytes(rng, 80) : RandomRowWindow(rng);
    ASSERT_EQ(ExtractRowText(w, scratch), WalkRowText(w)) << "window '" << w << "'";
    for (int n = -1; n < 8; ++n) ASSERT_EQ(GetRowField(w, n), WalkRowField(w, n)) << "text '" << w << "' field " << n;
    const std::array<std::string_view, 5> fields = GetFirstRowFields(w);
    for (int n = 1; n <= 5; ++n) ASSERT_EQ(fields[n - 1], WalkRowField(w, n)) << "text '" << w << "' field " << n;
  }
}

// Every vector unit of this processor (and the portable loop) against the character walk, on
// windows whose tags, entities and line breaks fall on both sides of the 64-byte block ends and
// at the window's end.
TEST(SessionFuzz, EveryVectorUnitGivesWhatTheCharacterWalkGives) {
  std::vector<VectorUnit> units;
  for (const VectorUnit unit : {VectorUnit::Portable, VectorUnit::Sse2, VectorUnit::Avx2, VectorUnit::Avx512}) {
    if (unit <= BestVectorUnit()) units.push_back(unit);
  }
  std::mt19937 rng(6464);
  std::string out(1024, '\0');
  const auto written = [&](std::size_t length) { return std::string_view(out.data(), length); };
  int onePass = 0;
  for (int i = 0; i < 20000; ++i) {
    const std::string w = std::string(std::uniform_int_distribution<std::size_t>(0, 140)(rng), '>') +
                          RandomRowWindow(rng) + RandomRowWindow(rng);
    const std::string visible = WalkVisibleText(w);
    const std::string replaced = WalkReplacingNbsp(visible);
    for (const VectorUnit unit : units) {
      const int u = static_cast<int>(unit);
      ASSERT_EQ(written(CopyVisibleText(w, out.data(), unit)), visible) << "unit " << u << " window '" << w << "'";
      ASSERT_EQ(written(CopyReplacingNbsp(visible, out.data(), unit)), replaced)
          << "unit " << u << " text '" << visible << "'";
      if (const std::optional<std::size_t> length = CopyVisibleTextReplacingNbsp(w, out.data(), unit)) {
        ASSERT_EQ(written(*length), replaced) << "unit " << u << " window '" << w << "'";
        ++onePass;
      }
    }
  }
  EXPECT_GT(onePass, 5000) << "the one-pass walk hardly ever runs";
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
