#include "terminal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace kestrel::testing {

Terminal::Terminal(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("cannot open " + path);
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    tcsetattr(fd_, TCSANOW, &t);
}

Terminal::~Terminal() { close(fd_); }

void Terminal::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd_, bytes.data(), bytes.size());
        if (n <= 0) throw std::runtime_error("write to the line failed");
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string Terminal::read_until(std::string_view needle) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        if (const auto at = pending_.find(needle); at != std::string::npos) {
            std::string head = pending_.substr(0, at + needle.size());
            pending_.erase(0, at + needle.size());
            return head;
        }
        if (std::chrono::steady_clock::now() >= until) break;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0) break;
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
    ADD_FAILURE() << "never received \"" << needle << "\"; got:\n" << pending_;
    return std::exchange(pending_, {});
}

std::string Terminal::command(std::string_view line, std::string_view needle) {
    send(std::string(line) + "\r");
    return read_until(needle);
}

}  // namespace kestrel::testing
