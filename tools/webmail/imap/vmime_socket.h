// SPDX-License-Identifier: MIT
#pragma once
// vmime's own sockets with one change: asking for the peer's name gives its numeric address.
// The library asks for it on every connection, and its reverse look-up sends a DNS query for an
// address that is not even the peer's; the gateway needs no name there.

#include <vmime/net/socket.hpp>

namespace webmail {

class NumericPeerSocketFactory : public vmime::net::socketFactory {
 public:
  NumericPeerSocketFactory();
  vmime::shared_ptr<vmime::net::socket> create() override;
  vmime::shared_ptr<vmime::net::socket> create(vmime::shared_ptr<vmime::net::timeoutHandler> handler) override;

 private:
  vmime::shared_ptr<vmime::net::socketFactory> platformFactory_;
};

}  // namespace webmail
