// SPDX-License-Identifier: MIT
// Error texts and the send-queue block.
#include <gtest/gtest.h>

#include "net/send_buffer.h"
#include "net/socket_errors.h"

namespace {

TEST(SocketErrorDesc, TableTextsAreExact) {
  EXPECT_EQ(SocketErrorDesc(0), "No Error");
  EXPECT_EQ(SocketErrorDesc(10035), "Operation would block");
  EXPECT_EQ(SocketErrorDesc(10047), "Address family not supported by protocol family");
  EXPECT_EQ(SocketErrorDesc(10058), "Can't send after socket shutdown");
  EXPECT_EQ(SocketErrorDesc(10059), "Too many references: can't splice");
  EXPECT_EQ(SocketErrorDesc(10061), "Connection refused");
  EXPECT_EQ(SocketErrorDesc(10069), "Disc quota exceeded");
  EXPECT_EQ(SocketErrorDesc(10092), "WinSock DLL cannot support this application");
  EXPECT_EQ(SocketErrorDesc(10093), "WinSock not initialized");
  EXPECT_EQ(SocketErrorDesc(11001), "Host not found");
  EXPECT_EQ(SocketErrorDesc(11004), "No Data");
}

TEST(SocketErrorDesc, CodesOutsideTheTable) {
  for (int code : {-1, 1, 10001, 10003, 10072, 10090, 10094, 11000, 11005}) {
    EXPECT_EQ(SocketErrorDesc(code), "Not a WinSock error") << code;
  }
}

TEST(SocketErrorMessage, NamesFunctionOnFirstLineAndTextOnSecond) {
  EXPECT_EQ(SocketErrorMessage(10057, "Send"), "Error 10057 in function Send\r\nSocket is not connected");
  EXPECT_EQ(SocketErrorMessage(-5, "x"), "Error -5 in function x\r\nNot a WinSock error");
}

std::string Pending(const SendBuffer& buffer) {
  const char* data;
  int count = buffer.PendingData(data);
  return count == 0 ? (data == nullptr ? "" : "<pointer without bytes>") : std::string(data, count);
}

TEST(SendBuffer, AppendsUntilFullAndConsumesInOrder) {
  SendBuffer buffer(5);
  EXPECT_EQ(buffer.Append("abc", 3), 3);
  EXPECT_EQ(buffer.Append("defg", 4), 2);  // only what fits
  EXPECT_EQ(buffer.Append("h", 1), 0);
  EXPECT_EQ(Pending(buffer), "abcde");
  EXPECT_EQ(buffer.Consume(2), 2);
  EXPECT_EQ(Pending(buffer), "cde");
  EXPECT_EQ(buffer.Append("x", 1), 0);  // space before the read position is not reused yet
  EXPECT_EQ(buffer.Consume(10), 3);
  EXPECT_EQ(Pending(buffer), "");
  EXPECT_EQ(buffer.Consume(1), 0);
  EXPECT_EQ(buffer.Append("12345", 5), 5);  // drained: the whole block is free again
  EXPECT_EQ(Pending(buffer), "12345");
}

TEST(SendBuffer, ResizeKeepsPendingBytesAndDefaultsTo1514) {
  SendBuffer buffer(0);
  EXPECT_EQ(buffer.Size(), 1514);
  buffer.Append("hello", 5);
  buffer.Consume(1);
  buffer.Resize(10);
  EXPECT_EQ(buffer.Size(), 10);
  EXPECT_EQ(Pending(buffer), "ello");
  EXPECT_EQ(buffer.Append("0123456789", 10), 5);
  buffer.Resize(3);  // below the write position: what fits stays
  EXPECT_EQ(Pending(buffer), "el");
  EXPECT_EQ(buffer.Append("z", 1), 0);
}

}  // namespace
