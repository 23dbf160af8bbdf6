// SPDX-License-Identifier: MIT
#pragma once
// Builds mailbox pages in the service's layout for tests: a title ending in "Mailbox</title>",
// the count before " new</font>", one line per message row, and the logout link.

#include <string>
#include <vector>

namespace testpage {

struct Row {
  std::string name, link, sender, date, subject, size;
  std::string dateSecondCell;  // when set, the date is split over two cells
  std::string rowAttributes;   // more attributes of the row's <tr>, ending in a quote
};

inline std::string Cell(const std::string& text) { return "<td>&nbsp;" + text + "&nbsp;</td>"; }

inline std::string RowLine(const Row& r) {
  std::string line = "<tr bgcolor=\"#ffffe0\"" + r.rowAttributes + "><td><img src=\"/i/new.gif\" width=16></td>"
                     "<td><input type=\"checkbox\" name=\"" + r.name + "\"></td>"
                     "<td>&nbsp;<a href=\"" + r.link + "\">" + r.sender + "</a>&nbsp;</td>" + Cell(r.date);
  if (!r.dateSecondCell.empty()) line += Cell(r.dateSecondCell);
  return line + Cell(r.subject) + Cell(r.size) + "</tr>\r\n";
}

inline std::string Page(const std::string& countText, const std::vector<Row>& rows,
                        const std::string& sessionUrl = "http://192.0.2.20/cgi-bin/logout?sid=S1") {
  std::string page = "<html><head><title>Hotmail - Mailbox</title></head>\r\n<body>\r\n"
                     "<font size=2>Inbox: " + countText + " new</font>\r\n<table>\r\n";
  for (const Row& r : rows) page += RowLine(r);
  page += "</table>\r\n<a href=\"" + sessionUrl + "\">Log out</a>\r\n</body></html>\r\n";
  return page;
}

inline Row MakeRow(int i) {
  const std::string n = std::to_string(i);
  return {"MSG" + n, "/cgi-bin/getmsg?msg=MSG" + n, "Sender " + n, "Dec " + n, "Subject " + n, n + "k", "", ""};
}

}  // namespace testpage
