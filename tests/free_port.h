#pragma once
// A port that nothing on this machine uses at the moment, for TCP and UDP
// alike, so that two runs of the suite (two build folders) can go on side by
// side. The port is taken from below the kernel's range of ephemeral ports,
// so that the outgoing connections of the tests do not take it meanwhile.

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <random>
#include <stdexcept>

namespace kolbet::test {

// True when a socket of the type can be bound to the port on every address,
// IPv4 and IPv6 (without sharing, so that any user of the port shows).
inline bool PortFree(int type, std::uint16_t port) {
  const int fd = socket(AF_INET6, type, 0);
  if (fd < 0) return false;
  const int no = 0;
  setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof no);
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_port = htons(port);
  address.sin6_addr = in6addr_any;
  const bool bound = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return bound;
}

// A free port, and with `pair` also the port after it free.
inline std::uint16_t FreePort(bool pair = false) {
  static std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> pick(20000, 32000);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const auto port = static_cast<std::uint16_t>(pick(random));
    bool free = true;
    for (std::uint16_t p = port; free && p <= port + (pair ? 1 : 0); ++p)
      free = PortFree(SOCK_STREAM, p) && PortFree(SOCK_DGRAM, p);
    if (free) return port;
  }
  throw std::runtime_error("no free port");
}

}  // namespace kolbet::test
