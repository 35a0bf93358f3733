#pragma once
// The spot watch list: callsigns and prefixes the operator wants to hear about. The list is
// one text of entries separated by blanks or commas (WATCH_LIST / CALLS in the settings
// file); an entry may hold `*`, which stands for any run of characters, none included.
// Letters match without regard to case.
//
// A spot's DX callsign is taken without its trailing blanks. An entry matches when it
// matches the whole callsign or one of the parts between its "/" (so "JA1ABC" hears
// "JA1ABC/P" and "VK9/JA1ABC" as well).

#include <string_view>

namespace kestrel {

// One entry against one text, `*` as above.
bool watch_entry_matches(std::string_view entry, std::string_view text);

// Any entry of `list` against a DX callsign.
bool watch_list_matches(std::string_view list, std::string_view callsign);

// Calls `visit(entry)` for every entry of `list`, in order.
template <typename Visit>
void for_each_watch_entry(std::string_view list, Visit&& visit) {
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t start = list.find_first_not_of(" \t,", at);
        if (start == std::string_view::npos) return;
        std::size_t end = list.find_first_of(" \t,", start);
        if (end == std::string_view::npos) end = list.size();
        visit(list.substr(start, end - start));
        at = end;
    }
}

}  // namespace kestrel
