#include "core/cluster/watch_list.h"

namespace kestrel {

namespace {

constexpr char fold(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

}  // namespace

// Greedy matching with one point to come back to: at a mismatch after a `*`, that star
// takes one more character. Linear in practice for entries of a few characters.
bool watch_entry_matches(std::string_view entry, std::string_view text) {
    std::size_t e = 0, t = 0;
    std::size_t star = std::string_view::npos, star_text = 0;
    while (t < text.size()) {
        if (e < entry.size() && entry[e] == '*') {
            star = e++;
            star_text = t;
        } else if (e < entry.size() && fold(entry[e]) == fold(text[t])) {
            ++e;
            ++t;
        } else if (star != std::string_view::npos) {
            e = star + 1;
            t = ++star_text;
        } else {
            return false;
        }
    }
    while (e < entry.size() && entry[e] == '*') ++e;
    return e == entry.size();
}

bool watch_list_matches(std::string_view list, std::string_view callsign) {
    const std::size_t end = callsign.find_last_not_of(' ');
    callsign = end == std::string_view::npos ? std::string_view{} : callsign.substr(0, end + 1);
    if (callsign.empty()) return false;
    bool found = false;
    for_each_watch_entry(list, [&](std::string_view entry) {
        if (found || watch_entry_matches(entry, callsign)) {
            found = true;
            return;
        }
        if (callsign.find('/') == std::string_view::npos) return;
        for (std::size_t at = 0; at <= callsign.size() && !found;) {
            std::size_t slash = callsign.find('/', at);
            if (slash == std::string_view::npos) slash = callsign.size();
            found = watch_entry_matches(entry, callsign.substr(at, slash - at));
            at = slash + 1;
        }
    });
    return found;
}

}  // namespace kestrel
