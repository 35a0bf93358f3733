#pragma once
// The RBBS commands: what the function keys and the split-view keys type for the operator,
// and the marks in the ring that choose which messages to read.
//
// Principle of operation. The operator marks lines of a BBS's message list in the
// back-scroll pane (LEFT); Enter in split view then turns every marked line into one read
// command ("R 5,12,30"), typed into the command line as if keyed: each byte goes through
// Link::send_char, into the command history, and with local echo into an open capture. No
// CR is sent, so the command waits in the TNC's line editor; the operator's next Enter finds
// no marked line and goes out as an ordinary CR. RIGHT reads the message of the cursor line
// alone, with its CR. A connect command is typed the same way, with "\n" standing for CR,
// but never reaches the capture.
//
// A line's message number is the leading run of digits and blanks of its text, so both
// list layouts BBS programs print work: numbers left-aligned at the start of the line and
// numbers right-aligned in a blank-filled field. A time stamp this program put at the
// start of a received line is skipped first, so marking works with time stamps on.
//
// Marks are the line kinds: plain -> marked (LEFT) -> read requested (once the command
// carrying the line's number went out, or RIGHT read it); LEFT takes a mark back and marks
// a read-requested line again; pause notices are never touched. Lines are walked from the
// oldest to the newest, which is the ring's slot order until it first wraps and the order
// the lines arrived in afterwards.
//
// Threads: UI thread only. The ring is reached through the visitors of LineStore and
// Backscroll, which take the store's lock; nothing here calls the Link or the Desktop while
// inside a visitor, because the receiver takes that lock for every read.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/desktop/desktop.h"
#include "core/link/link.h"
#include "core/screen/backscroll.h"
#include "core/screen/command_history.h"
#include "core/screen/line_store.h"
#include "core/settings/settings.h"
#include "core/transfer/capture.h"

namespace kestrel {

// At most this many marked lines go into one read command; the rest stay marked.
inline constexpr std::size_t max_read_numbers = 1000;
// The read command, final separator included, stays within this many bytes; numbers that
// would not fit are left out and their lines stay marked.
inline constexpr std::size_t max_read_text = 4096;

// The bytes a connect command sends: a backslash followed by "n" or "N" is one CR; every
// other byte, a lone backslash too, is itself. No CR is added at the end.
std::string connect_command_bytes(std::string_view command);

// The message number a screen line's text carries; 0 when it starts with anything but
// digits and blanks. Of the text (after a leading time stamp) only the first 20 bytes count.
int message_number(std::string_view text);

// The continuous read command for the numbers of the marked lines, given oldest line
// first: sorted by `sort` (1 ascending, 2 descending, otherwise as given), each followed by
// the separator, the last separator dropped. `taken[i]` tells whether numbers[i] fitted.
struct ReadCommandText {
    std::string text;
    std::vector<bool> taken;
};
ReadCommandText continuous_read_text(std::string_view read_command, std::string_view separator,
                                     int sort, const std::vector<int>& numbers);

// The commands on the current RBBS record (Settings::default_fkey_no).
class RbbsCommands {
public:
    RbbsCommands(Link& link, CommandHistory& history, Capture& capture, LineStore& store,
                 Backscroll& backscroll, const Settings& settings, Desktop& desktop)
        : link_(link),
          history_(history),
          capture_(capture),
          store_(store),
          backscroll_(backscroll),
          settings_(settings),
          desktop_(desktop) {}

    // CTRL+F-key, SHIFT+UP and the dialog's send button. False when the TNC refused a byte;
    // nothing after it is sent.
    bool send_connect_command();
    // Enter in split view, after the caller found a separator: types the read command of
    // the marked lines and marks them read requested. False when no line is marked, or
    // when the TNC refused a byte (the lines then stay marked): the Enter goes on as usual.
    bool continuous_read();
    // RIGHT in split view: reads the message of the cursor line with its own command.
    void single_read();
    // LEFT in split view: marks the cursor line or takes its mark back, then moves the
    // cursor down one line; on the pane's last row the view follows, up to the newest line.
    void toggle_mark();

private:
    const RbbsRecord& record() const;
    // Sends the bytes one by one, each also recorded in the history and, when `capture`,
    // echoed into an open capture. False at the first byte the TNC refused.
    bool type(std::string_view bytes, bool capture);

    Link& link_;
    CommandHistory& history_;
    Capture& capture_;
    LineStore& store_;
    Backscroll& backscroll_;
    const Settings& settings_;
    Desktop& desktop_;
};

}  // namespace kestrel
