#include "core/input/chat_line.h"

namespace kestrel {

void send_chat_line(Link& link, CommandHistory& history, std::string_view line) {
    bool sending = true;
    for (char c : line) {
        const auto byte = static_cast<std::uint8_t>(c);
        sending = sending && link.send_char(byte);
        history.input_char(byte);
    }
    if (sending) link.send_char('\r');
    history.input_char('\r');
    history.set_recall_index(0);
}

}  // namespace kestrel
