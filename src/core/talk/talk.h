#pragma once
// TALK through the packet cluster: the bytes of one outgoing TALK, and the intake that turns a
// received line (or the operator's echoed TALK) into entries of the TALK window's list.
//
// Threads and ownership:
// - talk_line, talk_refusal, talk_entries, wrap_talk_text and clean_talk_text are pure
//   functions; any thread may call them.
// - TalkList is the TALK window's list (at most 80 entries) together with the two things the
//   intake reads from the window: the callsign filter box and the partner callsign field.
//   The GUI owns one TalkList for the whole run. `talk_list_mutex_` guards the entries and
//   the filter, and talk_intake holds it for the whole of one line, so the receiver thread
//   (received lines, LineProcessor::set_talk_consumer) and the UI thread (the echo of the
//   operator's own TALK) never interleave and lines enter in arrival order. Nothing is
//   called while the lock is held.
// - The UI thread calls clear() when it creates the window (the list belongs to the window
//   and starts empty), set_filter() when the window opens and whenever the box or the field
//   changes, and entries() to fill the list box.
// - talk_intake returns true when it appended entries. Its caller then asks the window to
//   refresh its list (from the receiver thread: post the request, never wait for it). The
//   window shows entries() scrolled to the end with nothing selected, and gives the message
//   field the focus only when the intake ran on the UI thread for the echo.
//
// Received text is untrusted: an entry never holds a control byte or a NUL, and never ends
// in (or holds) a lead byte without its second byte; such bytes are replaced (see
// clean_talk_text). All texts are CP932.

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/talk/base64.h"

namespace kestrel {

// "TALK " + partner + " " + (base64_header + base64_encode(message) | message) + CR: the
// bytes talk_send offers to the TNC, one by one. Local echo lists the same text without CR.
std::string talk_line(std::string_view message, std::string_view partner, bool base64);

// Why talk_send refuses to send, tested in this order; none when it may send.
enum class TalkRefusal { none, empty_message, header_in_plain_text, empty_partner };
TalkRefusal talk_refusal(std::string_view message, std::string_view partner, bool base64);
// The error box's text for a refusal (CP932); empty for none.
std::string refusal_text(TalkRefusal refusal);

// What talk_intake reads from the window.
struct TalkFilter {
    bool callsign_filter = false;
    std::string partner;  // the callsign field; its first 11 characters count
};

// Steps 1 to 4 of the intake for one line: the entries it becomes, none when it is dropped
// (filtered out, or its header starts after offset 30). Only the first 247 bytes count, up
// to the first NUL, BEL, LF or CR; a coded part is decoded from at most its first 215
// characters (161 bytes, the room of the decoded text).
std::vector<std::string> talk_entries(std::string_view line, const TalkFilter& filter);

// Cuts a text of 78 bytes or more at the offsets 78, 156, 234, ..., one byte earlier where
// the offset falls on the second byte of a two-byte character: pieces of 77 to 79 bytes, the
// last one shorter.
std::vector<std::string> wrap_talk_text(std::string_view text);

// The text made safe to show, byte for byte the same length: control bytes (below 0x20, and
// 0x7F) become blanks, a lead byte not followed by a valid second byte becomes "?".
std::string clean_talk_text(std::string_view text);

class TalkList {
public:
    static constexpr std::size_t capacity = 80;

    // talk_intake: appends the line's entries, then drops the oldest beyond 80.
    bool talk_intake(std::string_view line);
    void set_filter(TalkFilter filter);
    void clear();
    std::vector<std::string> entries() const;

private:
    mutable std::mutex talk_list_mutex_;  // guards entries_ and filter_
    std::deque<std::string> entries_;
    TalkFilter filter_;
};

}  // namespace kestrel
