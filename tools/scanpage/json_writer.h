// SPDX-License-Identifier: MIT
#pragma once
// A small streaming JSON writer for the page checker. Page bytes are not necessarily UTF-8:
// every byte of 0x80 and above is written as \u00XX, so a reader decoding the strings as
// Latin-1 gets the page's bytes back exactly.

#include <ostream>
#include <string_view>

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  void Key(std::string_view key);
  void String(std::string_view value);
  void Number(long long value);
  void Bool(bool value);

 private:
  void Open(char bracket);
  void Close(char bracket);
  void BeforeValue();

  std::ostream& out_;
  int depth_ = 0;
  bool first_ = true;      // no element yet at this depth
  bool afterKey_ = false;  // the next value belongs to a key just written
};
