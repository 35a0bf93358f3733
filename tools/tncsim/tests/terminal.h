#pragma once
// The test's side of the line: the slave opened in raw mode, as a terminal program opens it.

#include <string>
#include <string_view>

namespace kestrel::testing {

class Terminal {
public:
    explicit Terminal(const std::string& path);
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    int fd() const { return fd_; }
    void send(std::string_view bytes);
    // Everything received up to and including the first occurrence of needle; the rest stays
    // for the next call. A test failure, and what arrived, if needle does not come in time.
    std::string read_until(std::string_view needle);
    // Sends a line (CR added) and returns the reply up to and including the next needle.
    std::string command(std::string_view line, std::string_view needle);

private:
    int fd_ = -1;
    std::string pending_;
};

}  // namespace kestrel::testing
