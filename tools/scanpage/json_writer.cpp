// SPDX-License-Identifier: MIT
#include "json_writer.h"

namespace {

void WriteQuoted(std::ostream& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out << '"';
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out << '\\' << ch;
    } else if (c < 0x20 || c >= 0x7F) {
      out << "\\u00" << kHex[c >> 4] << kHex[c & 0x0F];
    } else {
      out << ch;
    }
  }
  out << '"';
}

}  // namespace

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_) out_ << ',';
  if (depth_ > 0) out_ << '\n' << std::string(depth_ * 2, ' ');
  first_ = false;
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  out_ << bracket;
  ++depth_;
  first_ = true;
}

void JsonWriter::Close(char bracket) {
  --depth_;
  if (!first_) out_ << '\n' << std::string(depth_ * 2, ' ');
  out_ << bracket;
  first_ = false;
  if (depth_ == 0) out_ << '\n';
}

void JsonWriter::Key(std::string_view key) {
  BeforeValue();
  WriteQuoted(out_, key);
  out_ << ": ";
  afterKey_ = true;
}

void JsonWriter::String(std::string_view value) {
  BeforeValue();
  WriteQuoted(out_, value);
}

void JsonWriter::Number(long long value) {
  BeforeValue();
  out_ << value;
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ << (value ? "true" : "false");
}
