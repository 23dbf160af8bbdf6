// Listening, accepting, adopting a handle and the state waits come with the wait control.
// Until then they refuse clearly instead of pretending to work.
#include "net/wsocket.h"

namespace {

[[noreturn]] void NotSupported(const std::string& operation) {
  throw ESocketException(operation + " is not supported yet");
}

}  // namespace

int TCustomWSocket::Listen() { NotSupported("Listen"); }
ws::SOCKET TCustomWSocket::Accept() { NotSupported("Accept"); }
void TCustomWSocket::Dup(ws::SOCKET) { NotSupported("Dup"); }
bool TCustomWSocket::Wait(int, TSocketState) { NotSupported("Wait"); }
void TCustomWSocket::WaitUntilClosed() { NotSupported("WaitUntilClosed"); }
