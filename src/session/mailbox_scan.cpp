// SPDX-License-Identifier: MIT
#include "session/mailbox_scan.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "session/row_helpers.h"
#include "session/service.h"
#include "session/whole_number.h"

namespace {

constexpr std::string_view kTitleMarker = "Mailbox</title>";
constexpr std::string_view kCountMarker = " new</font>";
constexpr std::size_t kCountWindow = 8;
constexpr std::string_view kRowMarker = "\"><td><img";
constexpr std::string_view kProcessedMarker = "morvelan!!";
static_assert(kRowMarker.size() == kProcessedMarker.size());
constexpr std::size_t kRowWindow = 500;
constexpr std::size_t kSessionUrlWindow = 800;

// The count stands between the first space among the seven characters before the count marker
// and the marker itself. Near the start of the page the window shrinks instead of reaching
// before the text. A page without the marker counts as no new mail.
std::int32_t ReadNewMailCount(const PageText& page) {
  const std::size_t p = page.Find(kCountMarker);
  if (p == 0) return 0;
  const std::size_t start = p > kCountWindow ? p - kCountWindow : 0;
  const std::string_view window = page.View(start, p - start);  // ends with the marker's space
  std::string_view beforeMarker(window);
  beforeMarker.remove_suffix(1);
  const std::size_t space = window.find(' ');
  return ReadLeadingInteger(beforeMarker.substr(std::min(space + 1, beforeMarker.size())));
}

// Row `row` of `column`, the old entry where the column has one: filling it again reuses the
// storage of its strings, so that a scan after the first allocates next to nothing.
template <typename Entry>
Entry& Cell(std::vector<Entry>& column, std::size_t row) {
  if (row == column.size()) column.emplace_back();
  return column[row];
}

// Sets the text of a cell. Cleared and appended to rather than assigned: the same bytes, by a
// shorter path than assign's, which must allow for text that overlaps the string itself.
std::string& SetText(std::string& cell, std::string_view text) {
  cell.clear();
  return cell.append(text);
}

// `scratch` is kept from row to row.
void WriteRow(std::string_view rowWindow, MessageList& list, std::size_t row, std::string& scratch) {
  SetText(Cell(list.links, row), ExtractLinkTarget(rowWindow));
  SetText(Cell(list.fieldNames, row), ExtractNameAttribute(rowWindow));
  const std::array<std::string_view, 5> fields = GetFirstRowFields(ExtractRowText(rowWindow, scratch));
  SenderItem& sender = Cell(list.senders, row);
  SetText(sender.text, fields[0]);
  sender.state = CheckState::Unchecked;
  sender.enabled = true;
  const bool splitDate = ParseWholeNumber(fields[2]).has_value();  // a date split over two cells
  std::string& date = SetText(Cell(list.dates, row), fields[1]);
  if (splitDate) date.append(1, '/').append(fields[2]);
  SetText(Cell(list.subjects, row), fields[splitDate ? 3 : 2]);
  SetText(Cell(list.sizes, row), fields[splitDate ? 4 : 3]);
}

// Each processed row marker is overwritten, so the next search finds the next row; the marker
// cannot recur before the previous match, which lets the search resume there. Returns the
// number of rows written.
std::size_t ReadRows(PageText& page, std::int32_t count, MessageList& list, RowSearch rowSearch) {
  std::size_t from = 0;
  std::string scratch;
  std::size_t rows = 0;
  for (; rows < static_cast<std::size_t>(std::max(count, 0)); ++rows) {
    const std::size_t p = page.Find(kRowMarker, from);
    if (p == 0) break;
    page.Replace(p - 1, kProcessedMarker.size(), kProcessedMarker);
    WriteRow(page.View(p + kProcessedMarker.size() - 1, kRowWindow), list, rows, scratch);
    if (rowSearch == RowSearch::AfterPrevious) from = p - 1;
  }
  return rows;
}

// The logout URL runs from the prefix to the first double quote, within 800 characters.
std::string ReadSessionUrl(const PageText& page) {
  const std::string prefix = std::string("http://") + service::kMailServer;
  const std::size_t q = page.Find(prefix);
  if (q == 0) return {};
  const std::string_view url = page.View(q - 1, kSessionUrlWindow);
  const std::size_t quote = url.find('"');
  return std::string(quote != std::string_view::npos ? url.substr(0, quote) : url.substr(0, url.size() - 1));
}

void ShowOutcome(MailboxState& state) {
  if (state.NewMailCount > 0) {
    state.TrayIconIndex = kIconNewMail;
    state.TrayHint = NewMailHint(state.NewMailCount);
    state.MessageButtonsEnabled = true;
  } else {
    state.TrayIconIndex = kIconNoMail;
    state.Messages.AppendStatusLine(kNoMailText);
    state.TrayHint = kNoMailText;
    state.MessageButtonsEnabled = false;
  }
}

}  // namespace

std::string NewMailHint(std::int32_t count) {
  return "You have " + std::to_string(count) + " new mails in your Hotmail account!";
}

void ScanMailbox(PageText& page, bool showHeaders, MailboxState& state, RowSearch rowSearch) {
  state.StatusText = "Processing...";
  state.SessionURL.clear();
  std::size_t rows = 0;  // the rows of the last scan are overwritten, and what is left dropped
  if (page.Find(kTitleMarker) != 0) {
    state.NewMailCount = ReadNewMailCount(page);
    if (showHeaders) {
      state.StatusText = "Checking Headers";
      rows = ReadRows(page, state.NewMailCount, state.Messages, rowSearch);
    }
    state.SessionURL = ReadSessionUrl(page);
  }
  state.Messages.KeepRows(rows);
  ShowOutcome(state);
}
