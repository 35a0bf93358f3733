#include "core/input/terminal_input.h"

#include <string>

#include "core/text/sjis.h"

namespace kestrel {
namespace {

constexpr std::uint8_t cr = 13;

}  // namespace

void TerminalInput::char_handler(std::uint8_t c) {
    if (c == cr && backscroll_.split_view()) {
        const int record = settings_.default_fkey_no;
        if (settings_.rbbs[record].separator.empty()) {
            desktop_.tell(text::sjis("F" + std::to_string(record + 1) +
                                     " 連続読み出し時のｾﾊﾟﾚｰﾀｰが登録されていません"));
            return;
        }
        if (continuous_read && continuous_read()) return;
    }
    if (c == cr && history_.recall_index() >= 1) {
        const std::string line(history_.recalled_text());
        for (char b : line) send_typed(static_cast<std::uint8_t>(b));
        send_typed(cr);
        history_.set_recall_index(0);
    } else {
        send_typed(c);
    }
    capture_typed(c);
}

void TerminalInput::send_typed(std::uint8_t c) {
    link_.send_char(c);
    history_.input_char(c);
}

void TerminalInput::capture_typed(std::uint8_t c) {
    if (settings_.port.local_echo != 0) capture_.capture_typed(c);
}

std::string_view TerminalInput::recall(bool older) {
    if (older) {
        history_.recall_older();
    } else {
        history_.recall_newer();
    }
    return history_.recalled_text();
}

void TerminalInput::page(bool up) {
    store_.clear_selection();
    scroll_bar(up ? ScrollRequest::page_up : ScrollRequest::page_down);
}

void TerminalInput::arrow_in_split_view(bool up, bool shift) {
    if (shift) {
        if (up) {
            backscroll_.select_up();
        } else {
            backscroll_.select_down();
        }
        return;
    }
    store_.clear_selection();
    backscroll_.scroll(up ? ScrollRequest::line_up : ScrollRequest::line_down);
    desktop_.repaint_pane(Pane::backscroll, true);
}

void TerminalInput::wheel(int delta, bool shift) {
    if (delta == 0) return;
    if (backscroll_.split_view()) {
        arrow_in_split_view(delta > 0, shift);
    } else {
        page(delta > 0);
    }
}

void TerminalInput::scroll_bar(ScrollRequest request, int thumb_position) {
    switch (request) {
        case ScrollRequest::line_down:
        case ScrollRequest::page_down:
            if (!backscroll_.split_view()) return;
            break;
        case ScrollRequest::thumb_position:
        case ScrollRequest::thumb_track: store_.clear_selection(); break;
        default: break;
    }
    backscroll_.scroll(request, thumb_position);
}

}  // namespace kestrel
