// Where the adapter's bytes come from and go to: standard input and output,
// or one client connection on a TCP port of 127.0.0.1.
#pragma once
#include <string>
#include <string_view>

namespace tav::dap {

class Session;

// Reads frames from `fd` until the input ends or the session ends; bodies go
// to the session, framing errors are answered and skipped.
void serve(int fd, Session& session);

// Waits for one client on 127.0.0.1:`port` (saying so on standard error once
// it listens); the connection, or -1 with the reason.
int accept_client(int port, std::string& error);

// Writes all of `bytes` (false when the peer is gone).
bool write_all(int fd, std::string_view bytes);

}  // namespace tav::dap
