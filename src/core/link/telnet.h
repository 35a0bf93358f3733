#pragma once
// Just enough telnet for a plain-text terminal on a network port. A serial-to-network server
// in raw mode passes the TNC's bytes unchanged, while a telnet service (a BBS, a cluster)
// opens with option negotiation. So the filter stays transparent until the peer sends its
// first negotiation (IAC WILL, WONT, DO or DONT) and speaks telnet from then on, for the rest
// of the connection: every option is refused (DO x is answered WONT x, WILL x DONT x),
// commands and subnegotiations leave the data, IAC IAC is one 0xFF byte, and a 0xFF sent is
// doubled. Before that a 0xFF goes both ways as it is: text in CP932 never holds one.

#include <cstdint>
#include <string>

namespace kestrel {

class TelnetFilter {
public:
    static constexpr std::uint8_t iac = 0xFF;

    // Filters `n` received bytes from `in` into `out`, which has room for n + 1 (a 0xFF held
    // back at the end of the last read may come out first). Returns the data bytes written;
    // answers for the peer are appended to `replies`.
    int receive(const std::uint8_t* in, int n, std::uint8_t* out, std::string& replies);

    // True once the peer negotiated: 0xFF must then be doubled when sent.
    bool active() const { return active_; }
    void reset() { *this = TelnetFilter{}; }

private:
    enum class State : std::uint8_t { data, iac, option, sub, sub_iac };
    State state_ = State::data;
    std::uint8_t command_ = 0;
    bool active_ = false;
};

}  // namespace kestrel
