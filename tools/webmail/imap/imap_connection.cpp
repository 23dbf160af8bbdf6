// SPDX-License-Identifier: MIT
#include "webmail/imap/imap_connection.h"

#include <libetpan/libetpan.h>

#include <algorithm>

#include "webmail/store/message_text.h"

namespace webmail {
namespace {

constexpr std::size_t kStreamBuffer = 16 * 1024;

// libetpan reads and writes through these; a failure of the transport is kept for the text
// of the error, since libetpan only learns that the stream failed.
struct StreamEnd {
  ImapTransport* transport;
  std::string* failure;
};

ssize_t ReadStream(mailstream_low* low, void* buffer, size_t size) {
  auto* end = static_cast<StreamEnd*>(low->data);
  try {
    return static_cast<ssize_t>(end->transport->Read(buffer, size));
  } catch (const ImapFailure& e) {
    *end->failure = e.what();
    return -1;
  }
}

ssize_t WriteStream(mailstream_low* low, const void* data, size_t size) {
  auto* end = static_cast<StreamEnd*>(low->data);
  try {
    end->transport->Write(data, size);
    return static_cast<ssize_t>(size);
  } catch (const ImapFailure& e) {
    *end->failure = e.what();
    return -1;
  }
}

int CloseStream(mailstream_low*) { return 0; }  // the transport closes with its connection
int NoDescriptor(mailstream_low*) { return -1; }
void FreeStream(mailstream_low* low) { delete static_cast<StreamEnd*>(low->data); }
void NoCancel(mailstream_low*) {}
struct mailstream_cancel* NoCancelObject(mailstream_low*) { return nullptr; }
carray* NoCertificates(mailstream_low*) { return nullptr; }
int NoIdle(mailstream_low*) { return -1; }

mailstream_low_driver kStreamDriver = {ReadStream, WriteStream, CloseStream, NoDescriptor, FreeStream, NoCancel,
                                       NoCancelObject, NoCertificates, NoIdle, NoIdle, NoIdle};

// A set of UIDs, runs of consecutive ones as ranges, so that the command stays short.
std::unique_ptr<mailimap_set, void (*)(mailimap_set*)> UidSet(std::vector<std::uint32_t> uids) {
  std::sort(uids.begin(), uids.end());
  std::unique_ptr<mailimap_set, void (*)(mailimap_set*)> set(mailimap_set_new_empty(), mailimap_set_free);
  for (std::size_t i = 0; i < uids.size();) {
    std::size_t last = i;
    while (last + 1 < uids.size() && uids[last + 1] <= uids[last] + 1) ++last;
    mailimap_set_add_interval(set.get(), uids[i], uids[last]);
    i = last + 1;
  }
  return set;
}

mailimap_search_key* Key(int type) {
  return mailimap_search_key_new(type, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr);
}

mailimap_fetch_type* FetchType(std::uint32_t bodyBytes) {
  mailimap_fetch_type* type = mailimap_fetch_type_new_fetch_att_list_empty();
  mailimap_fetch_type_new_fetch_att_list_add(type, mailimap_fetch_att_new_uid());
  mailimap_fetch_type_new_fetch_att_list_add(type, mailimap_fetch_att_new_rfc822_size());
  mailimap_fetch_type_new_fetch_att_list_add(type, mailimap_fetch_att_new_internaldate());
  clist* names = clist_new();
  for (const char* name : {"FROM", "SUBJECT", "DATE"}) clist_append(names, strdup(name));
  mailimap_fetch_type_new_fetch_att_list_add(
      type, mailimap_fetch_att_new_body_peek_section(mailimap_section_new_header_fields(mailimap_header_list_new(names))));
  if (bodyBytes > 0)
    mailimap_fetch_type_new_fetch_att_list_add(
        type, mailimap_fetch_att_new_body_peek_section_partial(mailimap_section_new(nullptr), 0, bodyBytes));
  return type;
}

std::string DateText(const mailimap_date_time* date) {
  return date ? RowDateText(date->dt_year, date->dt_month, date->dt_day, date->dt_hour, date->dt_min) : std::string();
}

void Take(const mailimap_msg_att_static& item, FetchedMessage& message) {
  switch (item.att_type) {
    case MAILIMAP_MSG_ATT_UID:
      message.uid = item.att_data.att_uid;
      break;
    case MAILIMAP_MSG_ATT_RFC822_SIZE:
      message.size = item.att_data.att_rfc822_size;
      break;
    case MAILIMAP_MSG_ATT_INTERNALDATE:
      message.internalDate = DateText(item.att_data.att_internal_date);
      break;
    case MAILIMAP_MSG_ATT_BODY_SECTION: {
      const mailimap_msg_att_body_section* section = item.att_data.att_body_section;
      if (!section || !section->sec_body_part) break;
      const bool whole = !section->sec_section || !section->sec_section->sec_spec;
      (whole ? message.body : message.headers).assign(section->sec_body_part, section->sec_length);
      break;
    }
    default:
      break;
  }
}

}  // namespace

ImapConnection::ImapConnection(const GatewayAccount& account, const TlsTrust& trust, const StopSignal& stop,
                               const TransportBounds& bounds, const Credentials& credentials)
    : transport_(account.server.host, account.server.port, bounds, stop), session_(mailimap_new(0, nullptr), mailimap_free) {
  if (!session_) throw ImapFailure("out of memory");
  if (account.server.implicitTls) transport_.StartTls(trust);
  mailstream_low* low = mailstream_low_new(new StreamEnd{&transport_, &streamFailure_}, &kStreamDriver);
  Check(mailimap_connect(session_.get(), mailstream_new(low, kStreamBuffer)), "the connection");
  if (!account.server.implicitTls) Secure(account, trust);
  LogIn(account.user, credentials);
  Check(mailimap_select(session_.get(), "INBOX"), "to open INBOX");
  uidValidity_ = session_->imap_selection_info ? session_->imap_selection_info->sel_uidvalidity : 0;
}

// STARTTLS where the server offers it. A password goes in plain text only where the file says
// so, or to this machine itself, judged by the address connected to.
void ImapConnection::Secure(const GatewayAccount& account, const TlsTrust& trust) {
  if (account.plaintext) return;
  if (!session_->imap_connection_info || !session_->imap_connection_info->imap_capability) AskCapabilities();
  if (mailimap_has_extension(session_.get(), const_cast<char*>("STARTTLS"))) {
    Check(mailimap_starttls(session_.get()), "STARTTLS");
    transport_.StartTls(trust);
    AskCapabilities();
  } else if (!transport_.ToLoopback()) {
    throw ImapFailure("the server does not offer STARTTLS (set plaintext = yes to log in without TLS)");
  }
}

// A login that fails for anything but the connection is the server's refusal.
void ImapConnection::LogIn(const std::string& user, const Credentials& credentials) {
  const int result = credentials.token
                         ? mailimap_oauth2_authenticate(session_.get(), user.c_str(), credentials.secret.c_str())
                         : mailimap_login(session_.get(), user.c_str(), credentials.secret.c_str());
  if (result == MAILIMAP_NO_ERROR || !streamFailure_.empty() || result == MAILIMAP_ERROR_STREAM) return Check(result, "");
  throw LoginRefused(credentials.token ? "the server refused the token" : "the server refused the login");
}

// libetpan keeps the answer in the session too, where mailimap_has_extension looks.
void ImapConnection::AskCapabilities() {
  mailimap_capability_data* capabilities = nullptr;
  Check(mailimap_capability(session_.get(), &capabilities), "CAPABILITY");
  mailimap_capability_data_free(capabilities);
}

void ImapConnection::Check(int result, const char* what) {
  if (result == MAILIMAP_NO_ERROR || result == MAILIMAP_NO_ERROR_AUTHENTICATED ||
      result == MAILIMAP_NO_ERROR_NON_AUTHENTICATED)
    return;
  if (!streamFailure_.empty()) throw ImapFailure(streamFailure_);
  if (result == MAILIMAP_ERROR_STREAM) throw ImapFailure("the server closed the connection");
  if (result == MAILIMAP_ERROR_PARSE) throw ImapFailure("the server's answer could not be read");
  std::string text = std::string("the server refused ") + what;
  if (session_->imap_response && *session_->imap_response) text += std::string(" (") + session_->imap_response + ")";
  throw ImapFailure(text);
}

std::vector<std::uint32_t> ImapConnection::UnseenUids() {
  mailimap_search_key* key = mailimap_search_key_new_multiple_empty();
  mailimap_search_key_multiple_add(key, Key(MAILIMAP_SEARCH_KEY_UNSEEN));
  mailimap_search_key_multiple_add(key, Key(MAILIMAP_SEARCH_KEY_UNDELETED));
  clist* found = nullptr;
  const int result = mailimap_uid_search(session_.get(), nullptr, key, &found);
  mailimap_search_key_free(key);
  Check(result, "the search");
  std::vector<std::uint32_t> uids;
  for (clistiter* it = clist_begin(found); it; it = clist_next(it))
    uids.push_back(*static_cast<std::uint32_t*>(clist_content(it)));
  mailimap_search_result_free(found);
  std::sort(uids.begin(), uids.end(), std::greater<>());
  uids.erase(std::unique(uids.begin(), uids.end()), uids.end());
  return uids;
}

std::vector<FetchedMessage> ImapConnection::Fetch(const std::vector<std::uint32_t>& uids, std::uint32_t bodyBytes) {
  if (uids.empty()) return {};
  auto set = UidSet(uids);
  mailimap_fetch_type* type = FetchType(bodyBytes);
  clist* fetched = nullptr;
  const int result = mailimap_uid_fetch(session_.get(), set.get(), type, &fetched);
  mailimap_fetch_type_free(type);
  Check(result, "to send the messages");
  std::vector<FetchedMessage> messages;
  for (clistiter* it = clist_begin(fetched); it; it = clist_next(it)) {
    FetchedMessage message;
    const auto* attributes = static_cast<mailimap_msg_att*>(clist_content(it));
    for (clistiter* a = clist_begin(attributes->att_list); a; a = clist_next(a)) {
      const auto* item = static_cast<mailimap_msg_att_item*>(clist_content(a));
      if (item->att_type == MAILIMAP_MSG_ATT_ITEM_STATIC) Take(*item->att_data.att_static, message);
    }
    // An unsolicited FETCH (flags changed by another client) names no UID we asked for.
    if (std::find(uids.begin(), uids.end(), message.uid) != uids.end()) messages.push_back(std::move(message));
  }
  mailimap_fetch_list_free(fetched);
  return messages;
}

void ImapConnection::Delete(const std::vector<std::uint32_t>& uids) {
  if (uids.empty()) return;
  auto set = UidSet(uids);
  mailimap_flag_list* flags = mailimap_flag_list_new_empty();
  mailimap_flag_list_add(flags, mailimap_flag_new_deleted());
  mailimap_store_att_flags* store = mailimap_store_att_flags_new_add_flags_silent(flags);
  const int stored = mailimap_uid_store(session_.get(), set.get(), store);
  mailimap_store_att_flags_free(store);
  Check(stored, "to flag the messages");
  if (mailimap_has_uidplus(session_.get())) {
    Check(mailimap_uid_expunge(session_.get(), set.get()), "to expunge the messages");
  } else {
    Check(mailimap_expunge(session_.get()), "to expunge the messages");
  }
}

void ImapConnection::Noop() { Check(mailimap_noop(session_.get()), "NOOP"); }

void ImapConnection::LogOut() noexcept { mailimap_logout(session_.get()); }

}  // namespace webmail
