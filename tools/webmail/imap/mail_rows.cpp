// SPDX-License-Identifier: MIT
// MIME on the vmime library: header words (RFC 2047), raw UTF-8 headers (RFC 6532), mailboxes,
// dates and the parts of a message body.
#include "webmail/imap/mail_rows.h"

#include <vmime/platforms/posix/posixHandler.hpp>
#include <vmime/vmime.hpp>

#include <charconv>

#include "session/latin1_utf8.h"
#include "session/whole_number.h"
#include "webmail/store/message_text.h"

namespace webmail {
namespace {

// Header text that is not an encoded word is UTF-8 where it is valid UTF-8 (RFC 6532), else
// the single-byte text of older mailers.
const vmime::parsingContext& HeaderContext() {
  static const vmime::parsingContext context = [] {
    vmime::platform::setHandler<vmime::platforms::posix::posixHandler>();
    vmime::parsingContext c;
    c.setInternationalizedEmailSupport(true);
    return c;
  }();
  return context;
}

// Bytes in `charset` to UTF-8; a charset the converter does not know is taken as Latin-1.
std::string ToUtf8(const std::string& bytes, const vmime::charset& charset) {
  try {
    std::string out;
    vmime::charset::convert(bytes, out, charset, vmime::charsets::UTF_8);
    return out;
  } catch (const vmime::exception&) {
    return Latin1ToUtf8(bytes);
  }
}

std::string Latin1(const vmime::text& text) { return Utf8ToLatin1(text.getConvertedText(vmime::charsets::UTF_8)); }

std::string SenderOf(const vmime::header& header) {
  if (!header.hasField(vmime::fields::FROM)) return "(unknown sender)";
  const auto from = header.From()->getValue<vmime::mailbox>();
  if (!from) return "(unknown sender)";
  std::string shown = Latin1(from->getName());
  if (CellText(shown, kMaxSenderCell, "").empty()) shown = Utf8ToLatin1(from->getEmail().toString());
  return CellText(shown, kMaxSenderCell, "(unknown sender)");
}

std::string SubjectOf(const vmime::header& header) {
  if (!header.hasField(vmime::fields::SUBJECT)) return "(no subject)";
  std::string subject = CellText(Latin1(*header.Subject()->getValue<vmime::text>()), kMaxSubjectCell, "(no subject)");
  // A subject that is a whole number would read as the second half of a split date; a
  // trailing space keeps it a subject.
  if (ParseWholeNumber(subject)) subject += ' ';
  return subject;
}

// "Dec 7 2024 10:05", in the sender's own time zone, as the message gives it; else the date
// the server received it.
std::string DateOf(const vmime::header& header, const std::string& internalDate) {
  const std::string fallback = internalDate.empty() ? "(no date)" : internalDate;
  if (!header.hasField(vmime::fields::DATE)) return fallback;
  const auto date = header.Date()->getValue<vmime::datetime>();
  if (!date || date->getYear() <= 1970) return fallback;
  const std::string text =
      RowDateText(date->getYear(), date->getMonth(), date->getDay(), date->getHour(), date->getMinute());
  return text.empty() ? fallback : text;
}

// The first text/plain part, else the first text/html part reduced to text; UTF-8.
std::string TextOf(const std::string& raw) {
  auto message = vmime::make_shared<vmime::message>();
  message->parse(raw);
  vmime::messageParser parser(message);
  vmime::shared_ptr<const vmime::textPart> chosen;
  for (const auto& part : parser.getTextPartList()) {
    if (part->getType() == vmime::mediaType(vmime::mediaTypes::TEXT, vmime::mediaTypes::TEXT_PLAIN)) {
      chosen = part;
      break;
    }
    if (!chosen && part->getType() == vmime::mediaType(vmime::mediaTypes::TEXT, vmime::mediaTypes::TEXT_HTML))
      chosen = part;
  }
  if (!chosen) return "(This message has no text to show.)";
  std::string bytes;
  vmime::utility::outputStreamStringAdapter out(bytes);
  chosen->getText()->extract(out);
  out.flush();
  const std::string text = ToUtf8(bytes, chosen->getCharset());
  return chosen->getType().getSubType() == vmime::mediaTypes::TEXT_HTML ? HtmlToText(text) : text;
}

}  // namespace

std::string MessageId(std::uint32_t validity, std::uint32_t uid) {
  return "U" + std::to_string(validity) + "-" + std::to_string(uid);
}

std::optional<std::uint32_t> UidOfId(const std::string& id, std::uint32_t validity) {
  const std::string prefix = "U" + std::to_string(validity) + "-";
  if (!id.starts_with(prefix)) return std::nullopt;
  std::uint32_t uid = 0;
  const char* end = id.data() + id.size();
  const auto [stop, error] = std::from_chars(id.data() + prefix.size(), end, uid);
  if (error != std::errc() || stop != end || uid == 0 || id[prefix.size()] == '0') return std::nullopt;
  return uid;
}

MailMessage RowOf(const FetchedMessage& message, std::uint32_t validity) {
  vmime::header header;
  header.parse(HeaderContext(), message.headers);
  return MailMessage{MessageId(validity, message.uid), SenderOf(header), DateOf(header, message.internalDate),
                     SubjectOf(header), SizeText(message.size), {}};
}

MailMessage WholeMessageOf(const FetchedMessage& message, std::uint32_t validity) {
  MailMessage whole = RowOf(message, validity);
  whole.bodyLines = BodyLines(Utf8ToLatin1(TextOf(message.body)), kMaxBodyBytes);
  return whole;
}

}  // namespace webmail
