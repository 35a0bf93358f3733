#include "core/talk/talk.h"

#include <algorithm>
#include <cstdint>

#include "core/text/sjis.h"

namespace kestrel {

namespace {

constexpr std::size_t line_max = 247;
constexpr std::size_t header_offset_max = 30;
constexpr std::size_t coded_max = 215;  // 161 bytes decoded
constexpr std::size_t partner_max = 11;
constexpr std::size_t wrap_width = 78;

bool is_trail_byte(std::uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

}  // namespace

std::string talk_line(std::string_view message, std::string_view partner, bool base64) {
    std::string line = "TALK ";
    line.append(partner).append(" ");
    if (base64) {
        line.append(base64_header).append(base64_encode(message));
    } else {
        line.append(message);
    }
    return line + "\r";
}

TalkRefusal talk_refusal(std::string_view message, std::string_view partner, bool base64) {
    if (message.empty()) return TalkRefusal::empty_message;
    if (!base64 && message.find(base64_header) != std::string_view::npos) {
        return TalkRefusal::header_in_plain_text;
    }
    if (partner.empty()) return TalkRefusal::empty_partner;
    return TalkRefusal::none;
}

std::string refusal_text(TalkRefusal refusal) {
    switch (refusal) {
        case TalkRefusal::none: return {};
        case TalkRefusal::empty_message: return text::sjis("本文を入れて下さい");
        case TalkRefusal::header_in_plain_text:
            return text::sjis("BASE64ﾍｯﾀﾞｰと同じ文字列は送信できません");
        case TalkRefusal::empty_partner: return text::sjis("相手のコールサインを入れて下さい");
    }
    return {};
}

std::string clean_talk_text(std::string_view text) {
    std::string clean(text);
    for (std::size_t i = 0; i < clean.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(clean[i]);
        if (b < 0x20 || b == 0x7F) {
            clean[i] = ' ';
        } else if (text::is_lead_byte(b)) {
            if (i + 1 < clean.size() && is_trail_byte(static_cast<std::uint8_t>(clean[i + 1]))) {
                ++i;
            } else {
                clean[i] = text::replacement_cp932;
            }
        }
    }
    return clean;
}

std::vector<std::string> wrap_talk_text(std::string_view text) {
    // Where each character starts: a lead byte takes the byte after it along.
    std::vector<bool> starts(text.size(), true);
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text::is_lead_byte(text[i])) starts[++i] = false;
    }
    std::vector<std::string> pieces;
    std::size_t from = 0;
    for (std::size_t offset = wrap_width;; offset += wrap_width) {
        if (offset >= text.size()) {
            pieces.emplace_back(text.substr(from));
            return pieces;
        }
        const std::size_t cut = starts[offset] ? offset : offset - 1;
        pieces.emplace_back(text.substr(from, cut - from));
        from = cut;
    }
}

std::vector<std::string> talk_entries(std::string_view line, const TalkFilter& filter) {
    line = line.substr(0, std::min(line.size(), line_max));
    const std::string_view clean =
        line.substr(0, line.find_first_of(std::string_view("\0\a\n\r", 4)));
    if (filter.callsign_filter && clean.find("TALK ") == std::string_view::npos) {
        const std::string needle =
            "de " + std::string(std::string_view(filter.partner).substr(0, partner_max));
        if (clean.find(needle) == std::string_view::npos) return {};
    }
    std::string shown;
    if (const std::size_t p = clean.find(base64_header); p != std::string_view::npos) {
        if (p > header_offset_max) return {};
        const std::string_view coded = clean.substr(p + base64_header.size());
        // Each part cleaned alone: a lead byte ending the first must not pair with the
        // first decoded byte.
        shown = clean_talk_text(clean.substr(0, p)) +
                clean_talk_text(base64_decode(coded.substr(0, std::min(coded.size(), coded_max))));
    } else {
        shown = clean_talk_text(clean);
    }
    if (shown.size() < wrap_width) return {shown};
    return wrap_talk_text(shown);
}

bool TalkList::talk_intake(std::string_view line) {
    std::lock_guard lock(talk_list_mutex_);
    std::vector<std::string> added = talk_entries(line, filter_);
    if (added.empty()) return false;
    for (std::string& entry : added) entries_.push_back(std::move(entry));
    while (entries_.size() > capacity) entries_.pop_front();
    return true;
}

void TalkList::set_filter(TalkFilter filter) {
    std::lock_guard lock(talk_list_mutex_);
    filter_ = std::move(filter);
}

void TalkList::clear() {
    std::lock_guard lock(talk_list_mutex_);
    entries_.clear();
}

std::vector<std::string> TalkList::entries() const {
    std::lock_guard lock(talk_list_mutex_);
    return {entries_.begin(), entries_.end()};
}

}  // namespace kestrel
