#pragma once
// The terminal pane's keyboard without a window: what a typed character, the recall keys,
// PAGE UP/DOWN, the arrows in split view, the wheel and the back-scroll pane's scroll bar
// do. The window only translates its events into these calls and draws the results.
//
// UI thread only. Typed bytes go to the TNC at once through `Link::send_char`, into the
// command history, and with local echo into an open capture file. A failed capture write
// of a typed byte closes the file quietly (the operator is told, no beep); a failed write
// of a received byte is the receiver's affair and ends the download instead.

#include <cstdint>
#include <functional>
#include <string_view>

#include "core/desktop/desktop.h"
#include "core/link/link.h"
#include "core/screen/backscroll.h"
#include "core/screen/command_history.h"
#include "core/screen/line_store.h"
#include "core/settings/settings.h"
#include "core/transfer/capture.h"

namespace kestrel {

class TerminalInput {
public:
    TerminalInput(Link& link, CommandHistory& history, Capture& capture, LineStore& store,
                  Backscroll& backscroll, const Settings& settings, Desktop& desktop)
        : link_(link),
          history_(history),
          capture_(capture),
          store_(store),
          backscroll_(backscroll),
          settings_(settings),
          desktop_(desktop) {}

    // Enter in split view with a separator set: true when it typed a read command itself.
    std::function<bool()> continuous_read;

    // One typed character, a CP932 byte (a two-byte character arrives as two calls).
    void char_handler(std::uint8_t c);
    void characters(std::string_view cp932) {
        for (char c : cp932) char_handler(static_cast<std::uint8_t>(c));
    }

    // UP / DOWN outside split view; the text now recalled (back at the live line, what
    // has been typed of it).
    std::string_view recall(bool older);
    // The keyboard went elsewhere: the next Enter is an ordinary one again.
    void forget_recall() { history_.set_recall_index(0); }

    void page(bool up);
    // UP / DOWN in split view: move the back-scroll cursor, or with SHIFT flip selections.
    void arrow_in_split_view(bool up, bool shift);
    // The wheel scrolls by lines in split view and enters it by pages from outside.
    void wheel(int delta, bool shift);
    // The scroll bar: up enters split view, down does nothing outside it, the thumb
    // clears the selection.
    void scroll_bar(ScrollRequest request, int thumb_position = 0);

private:
    void send_typed(std::uint8_t c);
    void capture_typed(std::uint8_t c);

    Link& link_;
    CommandHistory& history_;
    Capture& capture_;
    LineStore& store_;
    Backscroll& backscroll_;
    const Settings& settings_;
    Desktop& desktop_;
};

}  // namespace kestrel
