// SPDX-License-Identifier: MIT
#include "session/message_deletion.h"

#include <string_view>

#include "http/request_line.h"
#include "session/list_error.h"
#include "session/row_helpers.h"

namespace {

constexpr std::string_view kHiddenField = "<input type=\"hidden\"";
constexpr std::string_view kCollectedField = "<tupni type=\"hidden\"";
static_assert(kHiddenField.size() == kCollectedField.size());
constexpr std::size_t kTagWindow = 200;

// The tag's text after its head, up to its closing ">" within the window.
std::string TagText(const PageText& page, std::size_t headPosition) {
  std::string tag = page.Read(headPosition - 1 + kHiddenField.size(), kTagWindow);
  const std::size_t close = tag.find('>');
  if (close != std::string::npos) tag.resize(close);
  return tag;
}

// A collected head can never match again, nor form a new match with its neighbours, so each
// search may start where the last one stopped.
std::string CollectHiddenFields(PageText& page) {
  std::string query;
  bool first = true;
  std::size_t from = 0;
  for (std::size_t p; (p = page.Find(kHiddenField, from)) != 0; from = p - 1) {
    page.Replace(p - 1, kCollectedField.size(), kCollectedField);
    const std::string tag = TagText(page, p);
    if (!first) query += "&";
    first = false;
    query.append(ExtractNameAttribute(tag)).append("=").append(ExtractValueAttribute(tag));
  }
  return query;
}

}  // namespace

std::string BuildDeletionQuery(PageText& page, const MessageList& list) {
  std::string query = CollectHiddenFields(page);
  for (std::size_t j = 0; j < list.senders.size(); ++j) {
    if (list.senders[j].state != CheckState::Checked) continue;
    query += "&" + ListItem(list.fieldNames, static_cast<long>(j)) + "=TRUE";
  }
  return EncodeForRequestLine(query + "&Delete.x=Delete");
}
