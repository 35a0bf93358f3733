#pragma once
// Finding text in the 5000 lines of the ring and putting the back-scroll cursor on it.
//
// Matching works on whole CP932 characters: a hit starts on a character boundary, so the
// second byte of a two-byte character never starts one, and a two-byte character matches
// only the same pair. Single-byte letters match without regard to case.
//
// Hits are ordered as the text was written: older lines first, and within a line from the
// left. "Older" walks that order backwards (next), "newer" forwards (previous); both wrap
// at the ends and say so. The search runs under the line store's lock together with the
// cursor move (Backscroll::seek), so lines arriving meanwhile cannot shift the target.

#include <optional>
#include <string>
#include <string_view>

#include "core/screen/backscroll.h"
#include "core/text/sjis.h"

namespace kestrel {

enum class SearchDirection { older, newer };

// A hit: the line's age (0 the line being written) and the byte column where it starts.
struct SearchHit {
    int age = 0;
    int column = 0;
};

// True when `needle` (non-empty) starts at `column` of `line`, which must be a character
// boundary of `line`.
bool matches_at(std::string_view line, int column, std::string_view needle);

// The hit next to `from` in `direction`, over the ages 0..line_count - 1 of `line_at(age)`.
// `inclusive` lets `from` itself count. `wrapped` is set when the walk passed an end of the
// ring. None when `needle` is empty or occurs nowhere.
template <typename LineAt>
std::optional<SearchHit> find_hit(LineAt&& line_at, std::string_view needle, SearchHit from,
                                  SearchDirection direction, bool inclusive, bool& wrapped);

class ScrollSearch {
public:
    enum class Outcome { found, wrapped, not_found, empty };
    struct Result {
        Outcome outcome = Outcome::empty;
        std::string line;  // the text of the hit's line (CP932)
    };

    explicit ScrollSearch(Backscroll& backscroll) : backscroll_(backscroll) {}

    // The operator changed the text: the hit at the cursor stays when it still matches,
    // otherwise the search goes on towards older lines. An empty text forgets the hit.
    Result set_text(std::string_view needle);
    Result next() { return step(SearchDirection::older, false); }
    Result previous() { return step(SearchDirection::newer, false); }
    void forget() { has_hit_ = false; }

    const std::string& text() const { return needle_; }
    // Where the hit lies in the back-scroll cursor's line, for highlighting: its column
    // while that line still holds the text there, else none.
    std::optional<int> highlight_column(std::string_view cursor_line) const;

private:
    Result step(SearchDirection direction, bool inclusive);

    Backscroll& backscroll_;
    std::string needle_;
    std::string hit_needle_;  // the text the hit was found for
    int column_ = 0;          // the hit's column in the cursor's line
    bool has_hit_ = false;
};

// ---------------------------------------------------------------------------------------

namespace detail {
// Calls `hit(column)` for every hit in `line`, left to right.
template <typename Hit>
void for_each_hit(std::string_view line, std::string_view needle, Hit&& hit) {
    for (std::size_t at = 0; at < line.size();) {
        if (matches_at(line, int(at), needle)) hit(int(at));
        at += text::is_lead_byte(line[at]) ? 2 : 1;
    }
}
}  // namespace detail

template <typename LineAt>
std::optional<SearchHit> find_hit(LineAt&& line_at, std::string_view needle, SearchHit from,
                                  SearchDirection direction, bool inclusive, bool& wrapped) {
    wrapped = false;
    if (needle.empty()) return std::nullopt;
    const bool older = direction == SearchDirection::older;
    // Columns on the start line that count before the walk leaves it, and after it wraps.
    auto beyond = [&](int column) {
        if (column == from.column) return inclusive;
        return older ? column < from.column : column > from.column;
    };
    int age = from.age;
    for (int step = 0; step <= LineStore::line_count; ++step) {
        const bool first = step == 0;
        const bool last = step == LineStore::line_count;  // the start line, from the other side
        std::optional<int> found;
        detail::for_each_hit(line_at(age), needle, [&](int column) {
            if ((first && !beyond(column)) || (last && beyond(column))) return;
            if (older || !found) found = column;  // older: the last hit; newer: the first
        });
        if (found) return SearchHit{age, *found};
        // Older lines have greater ages; the ring's oldest line is followed by the newest.
        age += older ? 1 : -1;
        if (age == LineStore::line_count || age < 0) {
            wrapped = true;
            age = older ? 0 : LineStore::line_count - 1;
        }
    }
    return std::nullopt;
}

}  // namespace kestrel
