// SPDX-License-Identifier: MIT
#pragma once
// Replaying the mailbox page's form without a browser: every hidden field of the page, one
// NAME=TRUE pair per checked row, and the form's delete button.

#include <string>

#include "session/message_list.h"
#include "session/page_text.h"

// Marks every hidden field of `page` as collected ("<tupni" over "<input") and answers the
// query, names and values as they stand in the page (the service reads them so), except the
// bytes that cannot stand in a request line, which are percent-encoded. Throws ListIndexError
// when a checked row of the sender list has no field name.
std::string BuildDeletionQuery(PageText& page, const MessageList& list);
