#pragma once
// A pseudo-terminal standing in for the TNC: the program opens the slave by its name, the
// test reads what was sent from the master.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>

class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            slave_name_ = ::ptsname(master_);
        }
    }
    ~PtyPair() {
        if (master_ >= 0) ::close(master_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slave_name() const { return slave_name_; }

    // Reads until `count` bytes came or the deadline passed (only there to avoid hanging).
    std::string read_bytes(std::size_t count,
                           std::chrono::seconds deadline = std::chrono::seconds(10)) {
        std::string out;
        const auto end = std::chrono::steady_clock::now() + deadline;
        while (out.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd fd{master_, POLLIN, 0};
            if (::poll(&fd, 1, 50) <= 0) continue;
            char buffer[256];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) out.append(buffer, std::size_t(n));
        }
        return out;
    }
    void write_bytes(const std::string& bytes) {
        [[maybe_unused]] ssize_t n = ::write(master_, bytes.data(), bytes.size());
    }

private:
    int master_ = -1;
    std::string slave_name_;
};
