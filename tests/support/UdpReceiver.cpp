#include <winsock2.h>

#include "tests/support/UdpReceiver.h"

UdpReceiver::UdpReceiver() {
  WSADATA data = {};
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET)
    return;
  socket_ = s;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof(address);
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    return;
  port_ = ntohs(address.sin_port);
}

UdpReceiver::~UdpReceiver() {
  if (socket_ != ~uintptr_t(0))
    closesocket(static_cast<SOCKET>(socket_));
  if (started_)
    WSACleanup();
}

std::string UdpReceiver::Receive(uint32_t timeoutMs) {
  SOCKET s = static_cast<SOCKET>(socket_);
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(s, &readable);
  timeval wait = {static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
  if (select(0, &readable, nullptr, nullptr, &wait) != 1)
    return std::string();
  char buffer[2048];
  int n = recv(s, buffer, sizeof(buffer), 0);
  return n > 0 ? std::string(buffer, n) : std::string();
}
