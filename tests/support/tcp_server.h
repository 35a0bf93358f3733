#pragma once
// A TCP server on 127.0.0.1 standing in for a serial-to-network server or a telnet BBS.
// Built without listening, calls to it are refused until listen() is called.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace kestrel::testing {

class TcpServer {
public:
    explicit TcpServer(bool listening = true) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), n);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
        port_ = ntohs(a.sin_port);
        if (listening) listen();
    }
    ~TcpServer() { ::close(fd_); }
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    void listen() { ::listen(fd_, 4); }
    std::string device() const { return "tcp://127.0.0.1:" + std::to_string(port_); }
    // The next call, or -1 after ten seconds (a guard against hanging only).
    int accept_one() const {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, 10000) == 1 ? ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC) : -1;
    }
    // What `peer` sent until `n` bytes came, it hung up or ten seconds passed.
    static std::string receive(int peer, std::size_t n) {
        std::string out;
        char buffer[256];
        for (pollfd p{peer, POLLIN, 0}; out.size() < n && ::poll(&p, 1, 10000) == 1;) {
            const ssize_t got = ::recv(peer, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            out.append(buffer, static_cast<std::size_t>(got));
        }
        return out;
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace kestrel::testing
