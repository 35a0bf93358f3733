#pragma once
// What the fuzz targets run for one input, shared with the unit test that replays every kept
// input (fuzz/corpus/<target>/*). Each returns what went wrong, empty when nothing did; a
// fuzz target aborts on a non-empty answer, the replay test fails.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/cluster/spot_board.h"
#include "core/talk/talk.h"
#include "core/text/sjis.h"

namespace kestrel::fuzz {

// Bytes a line shown on screen must never hold.
inline bool is_control(char c) {
    const auto b = static_cast<std::uint8_t>(c);
    return b < 0x20 || b == 0x7F;
}

// Every lead byte followed by a second byte of its character.
inline bool whole_characters(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!text::is_lead_byte(s[i])) continue;
        if (++i == s.size()) return false;
        const auto b = static_cast<std::uint8_t>(s[i]);
        if (b < 0x40 || b == 0x7F || b > 0xFC) return false;
    }
    return true;
}

// The input as received lines (split at LF), the first byte choosing the scope's filter.
inline std::string spot_parser_input(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const int choice = size > 0 ? data[0] : 0;
    const ScopeFilter filter{choice % 12, 1 + choice % 60};
    std::time_t now = 1204678800;
    SpotBoard board;
    for (std::size_t from = 0; from < all.size();) {
        const std::size_t lf = std::min(all.find('\n', from), all.size());
        board.parse_spot_line(all.substr(from, lf - from), now);
        now += 13;
        from = lf + 1;
    }
    const SpotList list = board.snapshot();
    if (list.count() < 0 || list.count() > SpotList::capacity) return "count out of range";
    int newest = 0;
    for (int i = 0; i < list.count(); ++i) {
        newest += list[i].newest;
        if (i > 0 && list[i - 1].frequency.view() > list[i].frequency.view()) return "unsorted";
    }
    if (newest > 1) return "more than one newest spot";
    const ShownLines shown = board.shown_lines(now, filter);
    for (const ShownLine& line : shown.lines) {
        for (char c : line.text) {
            if (is_control(c)) return "control byte in a shown line";
        }
        if (!whole_characters(line.spot.remarks.view()) ||
            !whole_characters(line.spot.callsign.view())) {
            return "broken character in a shown field";
        }
    }
    const std::string title = board.scope_title(now);
    for (char c : title) {
        if (is_control(c)) return "control byte in the title";
    }
    if (!shown.lines.empty() && !board.remove_shown_spot(shown.lines.back())) {
        return "a shown spot could not be removed";
    }
    board.age_spots(now + 3600);
    return {};
}

// The input as received lines through the TALK intake, the first byte choosing the filter.
inline std::string talk_intake_input(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    if (base64_decode(all).find('\0') != std::string::npos) return "NUL in decoded text";
    TalkList list;
    list.set_filter({size > 0 && (data[0] & 1) != 0, "JA2XYZ"});
    for (std::size_t from = 0; from < all.size();) {
        const std::size_t lf = std::min(all.find('\n', from), all.size());
        list.talk_intake(all.substr(from, lf - from));
        from = lf + 1;
    }
    const std::vector<std::string> entries = list.entries();
    if (entries.size() > TalkList::capacity) return "more than 80 entries";
    for (const std::string& entry : entries) {
        if (entry.size() >= 80) return "entry of 80 bytes or more";
        for (char c : entry) {
            if (is_control(c) || c == '\0') return "control byte in an entry";
        }
        if (!whole_characters(entry)) return "broken character in an entry";
    }
    return {};
}

}  // namespace kestrel::fuzz
