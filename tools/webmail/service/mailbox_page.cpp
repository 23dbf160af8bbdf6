// SPDX-License-Identifier: MIT
#include "webmail/service/mailbox_page.h"

#include <string_view>
#include <utility>

#include "session/page_text.h"
#include "session/whole_number.h"
#include "webmail/service/site.h"

namespace webmail {
namespace {

// The notifier finds a row by the quote that closes the row's bgcolor and the image cell
// after it, then reads at most kRowWindow characters after that marker.
constexpr std::string_view kRowHead = "<tr bgcolor=\"#ffffe0";
constexpr std::string_view kRowMarker = "\"><td><img";
constexpr std::size_t kRowWindow = 500;

std::string Cell(const std::string& text) { return "<td>&nbsp;" + text + "&nbsp;</td>"; }

// A date whose part after the last "/" is a whole number goes into two cells, the way the
// service showed day and month; the notifier joins them again with "/".
std::pair<std::string, std::string> DateCells(const std::string& date) {
  const std::size_t slash = date.rfind('/');
  if (slash == std::string::npos || slash == 0) return {date, {}};
  const std::string second = date.substr(slash + 1);
  if (!ParseWholeNumber(second)) return {date, {}};
  return {date.substr(0, slash), second};
}

std::string RowLine(const MailMessage& m, const std::string& sid) {
  const auto [date, dateSecondCell] = DateCells(m.date);
  std::string line = std::string(kRowHead) + std::string(kRowMarker) +
                     " src=\"/i/newmail.gif\" width=16 height=12 alt=\"new\"></td>"
                     "<td><input type=\"checkbox\" name=\"" +
                     m.id + "\" value=\"" + std::string(site::kCheckedValue) + "\"></td><td>&nbsp;<a href=\"" +
                     site::MessageLink(sid, m.id) + "\">" + m.sender + "</a>&nbsp;</td>" + Cell(date);
  if (!dateSecondCell.empty()) line += Cell(dateSecondCell);
  return line + Cell(m.subject) + Cell(m.size) + "</tr>\r\n";
}

// Characters of a cell that the notifier's row reading would take as markup or separators.
std::string CellProblem(const std::string& id, const char* what, const std::string& text) {
  const std::string prefix = "message \"" + id + "\": " + what;
  if (text.empty()) return prefix + " is empty";
  if (text.find_first_of("|<>") != std::string::npos) return prefix + " holds '|', '<' or '>'";
  if (text.find("&nbsp;") != std::string::npos) return prefix + " holds \"&nbsp;\"";
  return {};
}

// Filler that takes a page past the notifier's capacity: whole lines inside one comment.
std::string HugePadding(std::size_t pageSize) {
  const std::string line = std::string(98, 'x') + "\r\n";
  const std::size_t target = PageText::kCapacity + 64 * 1024;
  std::string padding = "<!--\r\n";
  padding.reserve(target - pageSize + line.size() + 8);
  while (pageSize + padding.size() < target) padding += line;
  return padding + "-->\r\n";
}

}  // namespace

std::string MessageRowProblem(const MailMessage& m) {
  for (const auto& [what, text] : {std::pair<const char*, const std::string*>{"sender", &m.sender},
                                   {"date", &m.date},
                                   {"subject", &m.subject},
                                   {"size", &m.size}}) {
    if (std::string problem = CellProblem(m.id, what, *text); !problem.empty()) return problem;
  }
  if (DateCells(m.date).second.empty() && ParseWholeNumber(m.subject))
    return "message \"" + m.id + "\": subject \"" + m.subject + "\" would read as the second half of a split date";
  const std::string line = RowLine(m, std::string(site::kSessionIdLength, 'S'));
  const std::size_t windowNeeded = line.size() - kRowHead.size() - kRowMarker.size() - 1;  // up to the CR
  if (windowNeeded > kRowWindow)
    return "message \"" + m.id + "\": the row is " + std::to_string(windowNeeded - kRowWindow) +
           " characters too long for the notifier to read; shorten the sender, date, subject or size";
  return {};
}

std::string MailboxPage(const Account& account, std::size_t count, const std::string& sid, bool huge) {
  std::string page = "<html>\r\n<head>\r\n<title>Hotmail - " + account.login +
                     " - Mailbox</title>\r\n</head>\r\n"
                     "<body bgcolor=\"#ffffff\">\r\n"
                     "<table width=\"100%\"><tr><td><font face=\"Arial\" size=2><b>" +
                     account.login + "@" + service::kMailDomain +
                     "</b></font></td>\r\n"
                     "<td align=right><font size=2><a href=\"" +
                     site::LogoutUrl(sid) +
                     "\">Sign Out</a></font></td></tr>\r\n"
                     "<tr><td colspan=2><font size=2>Inbox: " +
                     std::to_string(count) +
                     " new</font></td></tr></table>\r\n"
                     "<form name=\"hotmail\" method=\"GET\" action=\"" +
                     std::string(site::kMailboxPath) +
                     "\">\r\n"
                     "<input type=\"hidden\" name=\"" +
                     std::string(site::kFolderField) + "\" value=\"" + std::string(site::kFolder) +
                     "\">\r\n"
                     "<input type=\"hidden\" name=\"" +
                     std::string(site::kSessionField) + "\" value=\"" + sid +
                     "\">\r\n"
                     "<table border=0 cellpadding=1 cellspacing=0 width=\"100%\">\r\n"
                     "<tr bgcolor=\"#c0c0c0\"><th></th><th></th><th>From</th><th colspan=2>Date</th><th>Subject</th>"
                     "<th>Size</th></tr>\r\n";
  for (const MailMessage& m : account.messages) page += RowLine(m, sid);
  page +=
      "</table>\r\n"
      "<input type=\"image\" name=\"Delete\" src=\"/i/delete.gif\" alt=\"Delete\">\r\n"
      "</form>\r\n";
  if (huge) page += HugePadding(page.size());
  return page + "</body>\r\n</html>\r\n";
}

}  // namespace webmail
