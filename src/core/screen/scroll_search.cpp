#include "core/screen/scroll_search.h"

namespace kestrel {

namespace {

constexpr char fold(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

}  // namespace

// Walks the needle by characters: a pair compares byte for byte, a single byte with its
// case folded. Since the line is walked from the same boundary, a single byte of the needle
// can never meet a lead byte of the line (lead bytes are no letters) and vice versa.
bool matches_at(std::string_view line, int column, std::string_view needle) {
    if (needle.empty() || column < 0) return false;
    const auto at = std::size_t(column);
    if (at + needle.size() > line.size()) return false;
    for (std::size_t k = 0; k < needle.size();) {
        if (text::is_lead_byte(needle[k])) {
            if (k + 1 >= needle.size() || line[at + k] != needle[k] ||
                line[at + k + 1] != needle[k + 1]) {
                return false;
            }
            k += 2;
        } else {
            if (text::is_lead_byte(line[at + k]) || fold(line[at + k]) != fold(needle[k])) {
                return false;
            }
            k += 1;
        }
    }
    return true;
}

ScrollSearch::Result ScrollSearch::set_text(std::string_view needle) {
    needle_.assign(needle);
    if (needle_.empty()) {
        has_hit_ = false;
        return {};
    }
    return step(SearchDirection::older, true);
}

std::optional<int> ScrollSearch::highlight_column(std::string_view cursor_line) const {
    if (has_hit_ && matches_at(cursor_line, column_, hit_needle_)) return column_;
    return std::nullopt;
}

// Starts at the hit when the cursor still stands on it, else at the cursor's line (the
// newest line outside split view), taking that whole line in.
ScrollSearch::Result ScrollSearch::step(SearchDirection direction, bool inclusive) {
    Result result;
    if (needle_.empty()) return result;
    bool wrapped = false;
    std::optional<SearchHit> hit;
    backscroll_.seek([&](auto&& line_at, int cursor_age) {
        SearchHit from{std::max(cursor_age, 0), 0};
        if (cursor_age >= 0 && has_hit_ && matches_at(line_at(cursor_age), column_, hit_needle_)) {
            from.column = column_;
        } else {
            from.column = direction == SearchDirection::older ? ScreenLine::columns : -1;
            inclusive = true;
        }
        hit = find_hit(line_at, needle_, from, direction, inclusive, wrapped);
        if (!hit) return -1;
        result.line.assign(line_at(hit->age));
        return hit->age;
    });
    if (!hit) {
        has_hit_ = false;
        result.outcome = Outcome::not_found;
        return result;
    }
    has_hit_ = true;
    hit_needle_ = needle_;
    column_ = hit->column;
    result.outcome = wrapped ? Outcome::wrapped : Outcome::found;
    return result;
}

}  // namespace kestrel
