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
    ~PtyPair() { ::close(master_); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slave_path() const { return slave_path_; }

    void write(std::string_view bytes) {
        while (!bytes.empty()) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 1000);
            const ssize_t n = ::write(master_, bytes.data(), bytes.size());
            if (n > 0) bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }
    // Everything the slave side sent until `n` bytes came or the deadline passed (the
    // deadline only keeps a broken test from hanging).
    std::string read(std::size_t n, int deadline_ms = 10000) {
        std::string out = drain();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline_ms);
        while (out.size() < n && std::chrono::steady_clock::now() < end) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) out += drain();
        }
        return out;
    }
    // What is queued now, without waiting for more.
    std::string drain() {
        std::string out;
        char buf[4096];
        for (ssize_t got; (got = ::read(master_, buf, sizeof buf)) > 0;) out.append(buf, got);
        return out;
    }

private:
    int master_ = -1;
    std::string slave_path_;
};

}  // namespace kestrel::testing
