#pragma once
// A pseudo-terminal standing in for the TNC: the program under test opens the slave by its
// path, the test holds the master as a TNC holds the far end of the cable. The master is
// non-blocking.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <string_view>

namespace kestrel::testing {

class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        char name[128];
        if (::ptsname_r(master_, name, sizeof name) == 0) slave_path_ = name;
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() { close_master(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int master() const { return master_; }
    const std::string& slave_path() const { return slave_path_; }
    void close_master() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    void write(std::string_view bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                pollfd p{master_, POLLOUT, 0};
                ::poll(&p, 1, 1000);
            }
        }
    }
    // Everything the slave side sent until `n` bytes came or the deadline passed (the
    // deadline only keeps a broken test from hanging).
    std::string read(std::size_t n, int deadline_ms = 10000) {
        std::string out;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline_ms);
        while (out.size() < n && std::chrono::steady_clock::now() < end) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char buf[4096];
            const ssize_t got = ::read(master_, buf, sizeof buf);
            if (got > 0) out.append(buf, static_cast<std::size_t>(got));
        }
        return out;
    }
    // What is queued now, without waiting for more.
    std::string drain() {
        std::string out;
        for (;;) {
            char buf[4096];
            const ssize_t got = ::read(master_, buf, sizeof buf);
            if (got <= 0) return out;
            out.append(buf, static_cast<std::size_t>(got));
        }
    }

private:
    int master_ = -1;
    std::string slave_path_;
};

}  // namespace kestrel::testing
