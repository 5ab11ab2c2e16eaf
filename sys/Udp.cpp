#include <winsock2.h>
#include <ws2tcpip.h>

#include "sys/Udp.h"

#include <memory>

#include "sys/Handles.h"

namespace {

struct SocketTraits {
  using Handle = SOCKET;
  static Handle Null() { return INVALID_SOCKET; }
  static bool IsValid(Handle s) { return s != INVALID_SOCKET; }
  static void Close(Handle s) { closesocket(s); }
};
using ScopedSocket = ScopedHandleT<SocketTraits>;

struct AddrInfoDeleter {
  void operator()(addrinfo* info) const { freeaddrinfo(info); }
};

}  // namespace

std::string ResolveIPv4(const std::string& host) {
  if (host.empty())
    return std::string();
  addrinfo hints = {};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* raw = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &raw) != 0 || !raw)
    return std::string();
  std::unique_ptr<addrinfo, AddrInfoDeleter> answer(raw);
  for (addrinfo* entry = answer.get(); entry; entry = entry->ai_next) {
    if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in))
      continue;
    char text[INET_ADDRSTRLEN] = {};
    const sockaddr_in* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
    if (inet_ntop(AF_INET, const_cast<in_addr*>(&address->sin_addr), text, sizeof(text)))
      return text;
    return std::string();
  }
  return std::string();
}

bool SendUdpDatagram(const std::string& dottedAddress,
                     uint16_t port,
                     const void* data,
                     size_t size) {
  sockaddr_in target = {};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  if (inet_pton(AF_INET, dottedAddress.c_str(), &target.sin_addr) != 1)
    return false;
  ScopedSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  if (!socket)
    return false;
  int sent = sendto(socket.get(), static_cast<const char*>(data), static_cast<int>(size), 0,
                    reinterpret_cast<const sockaddr*>(&target), sizeof(target));
  return sent == static_cast<int>(size);
}

WinsockSession::WinsockSession() {
  WSADATA data = {};
  ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinsockSession::~WinsockSession() {
  if (ok_)
    WSACleanup();
}
