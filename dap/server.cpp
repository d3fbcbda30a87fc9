#include "dap/server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "dap/framing.h"
#include "dap/session.h"

namespace tav::dap {

void serve(int fd, Session& session) {
  FrameReader reader;
  char chunk[65536];
  for (;;) {
    if (session.ended()) return;
    pollfd p{fd, POLLIN, 0};
    // The timeout lets a disconnect end the loop while the client keeps the input open.
    const int ready = ::poll(&p, 1, 100);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) break;
    reader.feed(std::string_view(chunk, static_cast<std::size_t>(n)));
    for (;;) {
      std::string body, error;
      const FrameReader::Status status = reader.next(body, error);
      if (status == FrameReader::Status::NeedMore) break;
      if (status == FrameReader::Status::Error)
        session.framing_error(error);
      else
        session.receive(body);
    }
  }
  session.end_input();
}

int accept_client(int port, std::string& error) {
  if (port <= 0 || port > 65535) {
    error = "port out of range";
    return -1;
  }
  const int server = ::socket(AF_INET, SOCK_STREAM, 0);
  if (server < 0) {
    error = std::strerror(errno);
    return -1;
  }
  const int on = 1;
  ::setsockopt(server, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(server, 1) != 0) {
    error = std::strerror(errno);
    ::close(server);
    return -1;
  }
  // Whoever started us waits for this line before it connects.
  std::fprintf(stderr, "tav-dap: listening on 127.0.0.1:%d\n", port);
  std::fflush(stderr);
  const int client = ::accept(server, nullptr, nullptr);
  if (client < 0) error = std::strerror(errno);
  ::close(server);
  return client;
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace tav::dap
