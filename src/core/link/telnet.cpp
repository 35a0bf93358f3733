#include "core/link/telnet.h"

namespace kestrel {
namespace {

constexpr std::uint8_t se = 240, sb = 250, will = 251, wont = 252, do_ = 253, dont = 254;

}  // namespace

int TelnetFilter::receive(const std::uint8_t* in, int n, std::uint8_t* out, std::string& replies) {
    int m = 0;
    for (int i = 0; i < n; ++i) {
        const std::uint8_t c = in[i];
        switch (state_) {
            case State::data:
                if (c == iac) {
                    state_ = State::iac;
                } else {
                    out[m++] = c;
                }
                break;
            case State::iac:
                if (c >= will && c <= dont) active_ = true;
                state_ = State::data;
                if (!active_) {
                    // Not telnet: the held 0xFF was data, and this byte is looked at afresh.
                    out[m++] = iac;
                    --i;
                } else if (c == iac) {
                    out[m++] = iac;
                } else if (c >= will) {
                    command_ = c;
                    state_ = State::option;
                } else if (c == sb) {
                    state_ = State::sub;
                }
                // Any other command (NOP, GA, AYT, ...) carries nothing for a terminal.
                break;
            case State::option:
                // Refusing is always safe; a refusal of a refusal is not answered, so the
                // two sides cannot loop.
                if (command_ == do_ || command_ == will) {
                    replies += static_cast<char>(iac);
                    replies += static_cast<char>(command_ == do_ ? wont : dont);
                    replies += static_cast<char>(c);
                }
                state_ = State::data;
                break;
            case State::sub:
                if (c == iac) state_ = State::sub_iac;
                break;
            case State::sub_iac: state_ = c == se ? State::data : State::sub; break;
        }
    }
    return m;
}

}  // namespace kestrel
