// SPDX-License-Identifier: MIT
#include "webmail/imap/vmime_socket.h"

#include <vmime/platform.hpp>

namespace webmail {
namespace {

using vmime::byte_t;
using vmime::shared_ptr;
using vmime::string;

// Everything goes to the platform's socket, but for the peer's name.
class NumericPeerSocket : public vmime::net::socket {
 public:
  explicit NumericPeerSocket(shared_ptr<vmime::net::socket> inner) : inner_(std::move(inner)) {}

  void connect(const string& address, const vmime::port_t port) override { inner_->connect(address, port); }
  void disconnect() override { inner_->disconnect(); }
  bool isConnected() const override { return inner_->isConnected(); }
  bool waitForRead(const int msecs) override { return inner_->waitForRead(msecs); }
  bool waitForWrite(const int msecs) override { return inner_->waitForWrite(msecs); }
  void receive(string& buffer) override { inner_->receive(buffer); }
  size_t receiveRaw(byte_t* buffer, const size_t count) override { return inner_->receiveRaw(buffer, count); }
  void send(const string& buffer) override { inner_->send(buffer); }
  void send(const char* str) override { inner_->send(str); }
  void sendRaw(const byte_t* buffer, const size_t count) override { inner_->sendRaw(buffer, count); }
  size_t sendRawNonBlocking(const byte_t* buffer, const size_t count) override {
    return inner_->sendRawNonBlocking(buffer, count);
  }
  size_t getBlockSize() const override { return inner_->getBlockSize(); }
  unsigned int getStatus() const override { return inner_->getStatus(); }
  const string getPeerName() const override { return inner_->getPeerAddress(); }
  const string getPeerAddress() const override { return inner_->getPeerAddress(); }
  shared_ptr<vmime::net::timeoutHandler> getTimeoutHandler() override { return inner_->getTimeoutHandler(); }
  void setTracer(shared_ptr<vmime::net::tracer> tracer) override { inner_->setTracer(tracer); }
  shared_ptr<vmime::net::tracer> getTracer() override { return inner_->getTracer(); }

 private:
  shared_ptr<vmime::net::socket> inner_;
};

}  // namespace

NumericPeerSocketFactory::NumericPeerSocketFactory()
    : platformFactory_(vmime::platform::getHandler()->getSocketFactory()) {}

shared_ptr<vmime::net::socket> NumericPeerSocketFactory::create() {
  return vmime::make_shared<NumericPeerSocket>(platformFactory_->create());
}

shared_ptr<vmime::net::socket> NumericPeerSocketFactory::create(shared_ptr<vmime::net::timeoutHandler> handler) {
  return vmime::make_shared<NumericPeerSocket>(platformFactory_->create(handler));
}

}  // namespace webmail
