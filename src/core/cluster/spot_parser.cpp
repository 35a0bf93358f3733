#include "core/cluster/spot_parser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "core/text/sjis.h"

namespace kestrel {

namespace {

constexpr std::size_t max_line = 128;
constexpr std::size_t callsign_width = 11;
constexpr std::size_t remarks_width = 24;
constexpr std::size_t spotter_max = 19;

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }
bool is_control(char c) {
    const auto b = static_cast<std::uint8_t>(c);
    return b < 0x20 || b == 0x7F;
}
bool is_trail_byte(char c) {
    const auto b = static_cast<std::uint8_t>(c);
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// The bytes at [col, col + n), shorter or empty past the end of the line.
std::string_view columns(std::string_view body, std::size_t col, std::size_t n) {
    return col < body.size() ? body.substr(col, n) : std::string_view();
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

// At most max bytes of s, never ending between the two bytes of a character.
std::string_view whole_chars(std::string_view s, std::size_t max) {
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t width = text::is_lead_byte(s[i]) && i + 1 < s.size() ? 2 : 1;
        if (i + width > max) break;
        i += width;
    }
    return s.substr(0, i);
}

// Stores bytes into a field so that showing it cannot go wrong: control bytes become blanks,
// and so does a lead byte without its second byte (the cluster or the column cut the kanji).
template <std::size_t N>
void set_field(text::FixedText<N>& field, std::string_view bytes) {
    char safe[N] = {};
    const std::size_t n = std::min(bytes.size(), N - 1);
    std::copy_n(bytes.data(), n, safe);
    for (std::size_t i = 0; i < n; ++i) {
        if (is_control(safe[i])) safe[i] = ' ';
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (!text::is_lead_byte(safe[i])) continue;
        if (i + 1 < n && is_trail_byte(safe[i + 1])) {
            ++i;
        } else {
            safe[i] = ' ';
        }
    }
    field.assign(std::string_view(safe, n));
}

// Text of the line the layouts measure: its first 128 bytes up to any NUL, without the CR and
// BEL characters at its end.
std::string_view body_of(std::string_view line) {
    line = line.substr(0, std::min(line.size(), max_line));
    line = line.substr(0, line.find('\0'));
    while (!line.empty() && (line.back() == '\r' || line.back() == '\a')) line.remove_suffix(1);
    return line;
}

// ---- The fixed-column layouts ----

struct Layout {
    std::size_t frequency, callsign, remarks, time;
};
constexpr Layout layout_a{17, 27, 40, 71};
constexpr Layout layout_b{16, 26, 39, 70};

// Blanks, digits, ".", one digit: kHz right-aligned in 8 columns.
bool frequency_columns(std::string_view f) {
    if (f.size() != 8) return false;
    std::size_t i = 0;
    while (i < 6 && f[i] == ' ') ++i;
    const std::size_t digits = i;
    while (i < 6 && is_digit(f[i])) ++i;
    return i == 6 && i > digits && f[6] == '.' && is_digit(f[7]);
}

std::optional<Spot> read_announcement(std::string_view body, const Layout& at) {
    if (body.size() < 75 || body.size() > 80 || !body.starts_with("DX de ")) return std::nullopt;
    const char before = body[at.frequency - 1];
    if (before != ' ' && before != ':') return std::nullopt;
    if (!frequency_columns(body.substr(at.frequency, 8)) || body[at.frequency + 8] != ' ') {
        return std::nullopt;
    }
    Spot spot;
    // A ":" further right belongs to the remarks: the line names no spotter.
    const std::size_t colon = body.find(':');
    if (colon < at.frequency) set_field(spot.spotter, body.substr(6, colon - 6));
    set_field(spot.frequency, columns(body, at.frequency, 8));
    set_field(spot.callsign, columns(body, at.callsign, callsign_width));
    set_field(spot.remarks, columns(body, at.remarks, remarks_width));
    set_field(spot.time, columns(body, at.time, 5));
    return spot;
}

std::optional<Spot> read_listing_columns(std::string_view body) {
    if (body.size() < 77 || body.size() > 79) return std::nullopt;
    if (body[8] != ' ' || body[9] != ' ' || body[24] != '-' || body[28] != '-') return std::nullopt;
    if (!frequency_columns(body.substr(0, 8))) return std::nullopt;
    Spot spot;
    set_field(spot.frequency, columns(body, 0, 8));
    set_field(spot.callsign, columns(body, 10, callsign_width));
    set_field(spot.time, columns(body, 34, 5));
    set_field(spot.remarks, columns(body, 41, remarks_width));
    const std::size_t open = body.rfind('<'), close = body.rfind('>');
    if (open != std::string_view::npos && close != std::string_view::npos && open < close) {
        set_field(spot.spotter, whole_chars(body.substr(open + 1, close - open - 1), spotter_max));
    }
    return spot;
}

// ---- Words, for lines in other spacing ----

struct Words {
    static constexpr std::size_t max = max_line / 2 + 1;
    std::array<std::string_view, max> word;
    std::size_t count = 0;
};

// The blank-separated words of s, as views into s.
Words words_of(std::string_view s) {
    Words w;
    std::size_t i = 0;
    while (w.count < Words::max) {
        while (i < s.size() && is_blank(s[i])) ++i;
        if (i == s.size()) break;
        const std::size_t start = i;
        while (i < s.size() && !is_blank(s[i])) ++i;
        w.word[w.count++] = s.substr(start, i - start);
    }
    return w;
}

// The text between two words of the same line.
std::string_view between(std::string_view first, std::string_view second) {
    const char* from = first.data() + first.size();
    return trim(std::string_view(from, static_cast<std::size_t>(second.data() - from)));
}

bool all_of(std::string_view s, bool (*test)(char)) {
    return std::all_of(s.begin(), s.end(), test);
}

bool is_time_word(std::string_view w) {
    if (w.size() != 5 || w[4] != 'Z' || !all_of(w.substr(0, 4), is_digit)) return false;
    return (w[0] - '0') * 10 + (w[1] - '0') < 24 && w[2] < '6';
}

bool is_grid_word(std::string_view w) {
    const auto field = [](char c) { return (c >= 'A' && c <= 'R') || (c >= 'a' && c <= 'r'); };
    return w.size() == 4 && field(w[0]) && field(w[1]) && is_digit(w[2]) && is_digit(w[3]);
}

bool is_zone_word(std::string_view w) {
    return (w.size() == 1 || w.size() == 2) && all_of(w, is_digit);
}

bool is_date_word(std::string_view w) {
    static constexpr std::string_view months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::size_t day = w.find('-');
    if (day != 1 && day != 2) return false;
    if (!all_of(w.substr(0, day), is_digit) || w.size() != day + 9 || w[day + 4] != '-') {
        return false;
    }
    const std::string_view month = w.substr(day + 1, 3);
    return std::find(std::begin(months), std::end(months), month) != std::end(months) &&
           all_of(w.substr(day + 5), is_digit);
}

// digits "." digits, as "%8.1f"; nothing when it needs more than 8 columns.
bool set_frequency(Spot& spot, std::string_view w) {
    const std::size_t point = w.find('.');
    if (point == 0 || point == std::string_view::npos || point + 1 == w.size()) return false;
    if (!all_of(w.substr(0, point), is_digit) || !all_of(w.substr(point + 1), is_digit)) {
        return false;
    }
    double khz = 0;
    if (std::from_chars(w.data(), w.data() + w.size(), khz).ec != std::errc{} || khz <= 0) {
        return false;
    }
    char digits[32];
    const auto out =
        std::to_chars(digits, digits + sizeof digits, khz, std::chars_format::fixed, 1);
    const auto n = static_cast<std::size_t>(out.ptr - digits);
    if (out.ec != std::errc{} || n > 8) return false;
    char text[8];
    std::fill_n(text, 8 - n, ' ');
    std::copy_n(digits, n, text + (8 - n));
    spot.frequency.assign(std::string_view(text, 8));
    return true;
}

bool set_callsign(Spot& spot, std::string_view w) {
    bool letter = false, digit = false;
    for (char c : w) {
        if (!is_upper(c) && !is_digit(c) && c != '/') return false;
        letter = letter || is_upper(c);
        digit = digit || is_digit(c);
    }
    if (!letter || !digit) return false;
    char text[callsign_width];
    std::fill_n(text, callsign_width, ' ');
    std::copy_n(w.data(), std::min(w.size(), callsign_width), text);
    spot.callsign.assign(std::string_view(text, callsign_width));
    return true;
}

void set_remarks(Spot& spot, std::string_view remarks) {
    // A lead byte alone at the end stays, so that set_field turns it into a blank.
    std::string_view kept = whole_chars(remarks, remarks_width);
    char text[remarks_width];
    std::fill_n(text, remarks_width, ' ');
    std::copy_n(kept.data(), kept.size(), text);
    set_field(spot.remarks, std::string_view(text, remarks_width));
}

bool set_spotter(Spot& spot, std::string_view spotter) {
    if (spotter.empty() || !std::none_of(spotter.begin(), spotter.end(), is_blank)) return false;
    set_field(spot.spotter, whole_chars(spotter, spotter_max));
    return true;
}

// "DX de " spotter ":" frequency callsign [remarks] hhmmZ [grid square | zone]
std::optional<Spot> read_announcement_words(std::string_view body) {
    if (!body.starts_with("DX de ")) return std::nullopt;
    const std::size_t colon = body.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const Words w = words_of(body.substr(colon + 1));
    if (w.count < 3) return std::nullopt;
    std::size_t time = w.count - 1;
    if (!is_time_word(w.word[time]) && (is_grid_word(w.word[time]) || is_zone_word(w.word[time]))) {
        --time;
    }
    if (time < 2 || !is_time_word(w.word[time])) return std::nullopt;
    Spot spot;
    if (!set_spotter(spot, body.substr(6, colon - 6)) || !set_frequency(spot, w.word[0]) ||
        !set_callsign(spot, w.word[1])) {
        return std::nullopt;
    }
    set_remarks(spot, between(w.word[1], w.word[time]));
    spot.time.assign(w.word[time]);
    return spot;
}

// frequency callsign d-Mon-yyyy hhmmZ [remarks] <spotter>
std::optional<Spot> read_listing_words(std::string_view body) {
    body = trim(body);
    const std::size_t open = body.rfind('<');
    if (body.empty() || body.back() != '>' || open == std::string_view::npos) return std::nullopt;
    const std::string_view spotter = body.substr(open + 1, body.size() - open - 2);
    if (spotter.find('>') != std::string_view::npos) return std::nullopt;
    const Words w = words_of(body.substr(0, open));
    if (w.count < 4 || !is_date_word(w.word[2]) || !is_time_word(w.word[3])) return std::nullopt;
    Spot spot;
    if (!set_spotter(spot, spotter) || !set_frequency(spot, w.word[0]) ||
        !set_callsign(spot, w.word[1])) {
        return std::nullopt;
    }
    const char* remarks = w.word[3].data() + w.word[3].size();
    set_remarks(spot, trim(std::string_view(
                          remarks, static_cast<std::size_t>(body.data() + open - remarks))));
    spot.time.assign(w.word[3]);
    return spot;
}

std::optional<WwvText> read_wwv(std::string_view line) {
    line = line.substr(0, std::min(line.size(), max_line));
    line = line.substr(0, line.find('\0'));
    const std::size_t sfi = line.find("SFI=");
    if (sfi == std::string_view::npos) return std::nullopt;
    if (line.find("WWV=") == std::string_view::npos && !line.starts_with("WWV de ")) {
        return std::nullopt;
    }
    std::string_view figures = line.substr(sfi);
    figures = figures.substr(0, figures.find_first_of("\a\n\r"));
    WwvText wwv;
    set_field(wwv, figures);
    return wwv;
}

}  // namespace

ClusterLine read_cluster_line(std::string_view line) {
    ClusterLine read;
    const std::string_view body = body_of(line);
    for (auto form : {+[](std::string_view b) { return read_announcement(b, layout_a); },
                      +[](std::string_view b) { return read_announcement(b, layout_b); },
                      read_listing_columns, read_announcement_words, read_listing_words}) {
        read.spot = form(body);
        if (read.spot) break;
    }
    read.wwv = read_wwv(line);
    return read;
}

}  // namespace kestrel
