// SPDX-License-Identifier: MIT
// Addr, Port and Proto conversion, and the asynchronous host look-up.
#include <gtest/gtest.h>

#include "test_support.h"

using namespace testing_support;

namespace {

std::uint16_t PortOf(const TestSocket& socket) { return (ws::ntohs)(socket.PeerSockAddr.sin_port); }

TEST(Address, PortTextsConvertByTheirFirstCharacter) {
  TestSocket socket;
  socket.SetPort(" 8080");
  EXPECT_EQ(PortOf(socket), 8080);
  socket.SetPort("80x");
  EXPECT_EQ(PortOf(socket), 80);
  socket.SetPort("http");  // a service name, looked up with the Proto text "tcp"
  EXPECT_EQ(PortOf(socket), 80);
  EXPECT_EQ(ExceptionText([&] { socket.SetPort("no-such-service"); }),
            "Error 11004 in function SetPort: Cannot convert port 'no-such-service'\r\nNo Data");
  EXPECT_FALSE(socket.PortAssigned);
  EXPECT_EQ(PortOf(socket), 80) << "a failed conversion leaves the record alone";
}

TEST(Address, EmptyAndOverlongNamesAreRefusedWithoutALookup) {
  TestSocket socket;
  EXPECT_EQ(ExceptionText([&] { socket.SetPort("   "); }), "Error 10022 in function SetPort: Cannot convert port ''\r\nInvalid argument");
  EXPECT_FALSE(socket.PortAssigned);
  EXPECT_EQ(ExceptionText([&] { socket.SetProto(""); }),
            "Error 10022 in function SetProto: Cannot convert protocol ''\r\nInvalid argument");
  EXPECT_FALSE(socket.ProtoAssigned);
  const std::string longName(32, 'p');
  EXPECT_EQ(ExceptionText([&] { socket.SetProto(longName); }),
            "Error 10022 in function SetProto: Cannot convert protocol '" + longName + "'\r\nInvalid argument");
  const std::string longHost(257, 'h');
  EXPECT_EQ(ExceptionText([&] { socket.SetAddr(longHost); }), "SetAddr: Cannot convert host address '" + longHost + "'");
  EXPECT_FALSE(socket.AddrAssigned);
}

TEST(Address, ProtoSelectsTheSocketType) {
  TestSocket socket;
  socket.SetProto("udp");
  EXPECT_EQ(socket.FType, ws::WS_SOCK_DGRAM);
  socket.SetProto("6");
  EXPECT_EQ(socket.FType, ws::WS_SOCK_STREAM);
  socket.SetProto("17");
  EXPECT_EQ(socket.FType, ws::WS_SOCK_DGRAM);
  socket.SetProto("tcp");
  EXPECT_EQ(socket.FProto, 6);
  EXPECT_EQ(socket.FType, ws::WS_SOCK_STREAM);
}

TEST(Address, SameTextIsNotConvertedAgainWhileAssigned) {
  TestSocket socket;
  socket.SetPort("81");
  socket.PeerSockAddr.sin_port = 0;  // a second conversion would put 81 back
  socket.SetPort("81");
  EXPECT_EQ(socket.PeerSockAddr.sin_port, 0);
}

TEST(Address, HostNamesAndBroadcastAndUnknownHosts) {
  TestSocket socket;
  int errors = 0;
  socket.OnError = [&](AsyncSocketBase*) { ++errors; };
  socket.SetAddr(" localhost ");
  EXPECT_EQ(socket.PeerSockAddr.sin_addr.s_addr, ws::inet_addr("127.0.0.1"));
  socket.SetAddr("255.255.255.255");
  EXPECT_EQ(socket.PeerSockAddr.sin_addr.s_addr, ws::WS_INADDR_NONE);
  EXPECT_EQ(ExceptionText([&] { socket.SetAddr("no-such-host.invalid"); }),
            "SetAddr: Cannot convert host address 'no-such-host.invalid'");
  EXPECT_EQ(errors, 0) << "this text is raised even with OnError assigned";
  EXPECT_FALSE(socket.AddrAssigned);
}

class Lookup : public ::testing::Test {
 protected:
  void SetUp() override { log.Attach(socket); }
  bool Done() { return !log.events.empty(); }
  TestSocket socket;
  EventLog log;
};

TEST_F(Lookup, DottedAddressCompletesBeforeDnsLookupReturns) {
  socket.DnsLookup("10.0.0.1");
  EXPECT_EQ(log.events, std::vector<std::string>{"DnsLookupDone 0"});
  EXPECT_EQ(socket.DnsResult(), "10.0.0.1");
  EXPECT_TRUE(socket.DnsResultList().empty());
}

TEST_F(Lookup, LocalhostResolvesLater) {
  socket.DnsLookup("localhost");
  EXPECT_TRUE(log.events.empty());
  ASSERT_TRUE(PumpUntil([&] { return Done(); }));
  EXPECT_EQ(log.events, std::vector<std::string>{"DnsLookupDone 0"});
  EXPECT_EQ(socket.DnsResult(), "127.0.0.1");
  ASSERT_FALSE(socket.DnsResultList().empty());
  EXPECT_EQ(socket.DnsResultList().front(), socket.DnsResult());
}

TEST_F(Lookup, UnknownNameReportsTheResolverCodeWithoutException) {
  socket.DnsLookup("no-such-host.invalid");
  ASSERT_TRUE(PumpUntil([&] { return Done(); }, 15000));
  EXPECT_TRUE(log.events.front() == "DnsLookupDone 11001" || log.events.front() == "DnsLookupDone 11004")
      << log.events.front();
  EXPECT_EQ(socket.DnsResult(), "");
}

TEST_F(Lookup, BroadcastTextGoesToTheAsynchronousLookUp) {
  socket.DnsLookup("255.255.255.255");
  EXPECT_TRUE(log.events.empty());
  ASSERT_TRUE(PumpUntil([&] { return Done(); }));
  EXPECT_EQ(socket.DnsResult(), "255.255.255.255");
}

TEST_F(Lookup, CancelReportsInterruptedAndTheReplyNeverCounts) {
  socket.DnsLookup("localhost");
  socket.CancelDnsLookup();
  EXPECT_EQ(log.events, std::vector<std::string>{"DnsLookupDone 10004"});
  PumpFor(100);
  EXPECT_EQ(log.events.size(), 1u);
  EXPECT_EQ(socket.DnsResult(), "");
  socket.CancelDnsLookup();  // nothing pending: nothing happens
  EXPECT_EQ(log.events.size(), 1u);
}

TEST_F(Lookup, ReplacedLookupOnlyTheNewerAnswers) {
  socket.DnsLookup("no-such-host.invalid");
  socket.DnsLookup("localhost");
  ASSERT_TRUE(PumpUntil([&] { return Done(); }));
  PumpFor(100);
  EXPECT_EQ(log.events, std::vector<std::string>{"DnsLookupDone 0"});
  EXPECT_EQ(socket.DnsResult(), "127.0.0.1");
  socket.DnsLookup("localhost");
  socket.DnsLookup("10.1.1.1");  // the numeric path forgets the cancelled request
  EXPECT_EQ(socket.DnsLookupHandle, 0u);
  EXPECT_EQ(socket.DnsResult(), "10.1.1.1");
  PumpFor(100);
  EXPECT_EQ(socket.DnsResult(), "10.1.1.1");
}

TEST_F(Lookup, EmptyHostRaisesOrFiresErrorThenDone) {
  EXPECT_EQ(ExceptionText([&] { socket.DnsLookup(""); }), "DNS lookup: invalid host name.");
  EXPECT_TRUE(log.events.empty());
  socket.OnError = [&](AsyncSocketBase*) { log.events.push_back("Error"); };
  socket.DnsLookup("");
  EXPECT_EQ(log.events, (std::vector<std::string>{"Error", "DnsLookupDone 10022"}));
}

}  // namespace
