#include "core/bbs/rbbs_commands.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <numeric>

#include "core/text/sjis.h"

namespace kestrel {
namespace {

constexpr char cr = 13;
constexpr std::size_t number_field = 20;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string_view text_of(const ScreenLine& line) {
    return {line.text, ::strnlen(line.text, ScreenLine::text_size)};
}

// Consumes `count` digits, or at least one when `count` is 0.
bool digits(std::string_view& s, std::size_t count) {
    std::size_t n = 0;
    while (n < s.size() && is_digit(s[n]) && (count == 0 || n < count)) ++n;
    if (n == 0 || (count != 0 && n != count)) return false;
    s.remove_prefix(n);
    return true;
}

bool literal(std::string_view& s, char c) {
    if (s.empty() || s.front() != c) return false;
    s.remove_prefix(1);
    return true;
}

// "[yyyy-mm-dd hh:mm:ss]" as the line store writes it at the start of a received line.
std::string_view after_time_stamp(std::string_view text) {
    std::string_view s = text;
    const bool stamp = literal(s, '[') && digits(s, 0) && literal(s, '-') && digits(s, 2) &&
                       literal(s, '-') && digits(s, 2) && literal(s, ' ') && digits(s, 2) &&
                       literal(s, ':') && digits(s, 2) && literal(s, ':') && digits(s, 2) &&
                       literal(s, ']');
    return stamp ? s : text;
}

}  // namespace

std::string connect_command_bytes(std::string_view command) {
    std::string out;
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (command[i] == '\\' && i + 1 < command.size() &&
            (command[i + 1] == 'n' || command[i + 1] == 'N')) {
            out += cr;
            ++i;
        } else {
            out += command[i];
        }
    }
    return out;
}

int message_number(std::string_view text) {
    text = after_time_stamp(text).substr(0, number_field);
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    long long number = 0;
    for (; i < text.size() && is_digit(text[i]); ++i) {
        number = std::min<long long>(number * 10 + (text[i] - '0'), INT_MAX);
    }
    return static_cast<int>(number);
}

ReadCommandText continuous_read_text(std::string_view read_command, std::string_view separator,
                                     int sort, const std::vector<int>& numbers) {
    std::vector<std::size_t> order(numbers.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (sort == 1 || sort == 2) {
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return numbers[a] < numbers[b]; });
        if (sort == 2) std::reverse(order.begin(), order.end());
    }
    ReadCommandText out{std::string(read_command) + " ", std::vector<bool>(numbers.size())};
    bool any = false;
    for (std::size_t i : order) {
        const std::string piece = std::to_string(numbers[i]) + std::string(separator);
        if (out.text.size() + piece.size() > max_read_text) continue;
        out.text += piece;
        out.taken[i] = true;
        any = true;
    }
    // The whole final separator goes, so a two-byte one leaves no lead byte behind.
    if (any) out.text.resize(out.text.size() - separator.size());
    return out;
}

const RbbsRecord& RbbsCommands::record() const {
    const int index = settings_.default_fkey_no;
    return settings_.rbbs[static_cast<std::size_t>(index >= 0 && index < rbbs_count ? index : 0)];
}

bool RbbsCommands::type(std::string_view bytes, bool capture) {
    bool capturing = capture && settings_.port.local_echo != 0;
    for (char ch : bytes) {
        const auto c = static_cast<std::uint8_t>(ch);
        if (!link_.send_char(c)) return false;
        history_.input_char(c);
        // After a failed write nothing more of this command is captured.
        if (capturing && !capture_.capture_typed(c)) capturing = false;
    }
    return true;
}

bool RbbsCommands::send_connect_command() {
    return type(connect_command_bytes(record().connect_command.view()), false);
}

bool RbbsCommands::continuous_read() {
    std::vector<int> numbers;
    std::vector<const ScreenLine*> lines;
    store_.for_each_oldest_first(
        [&](ScreenLine& line) {
            if (line.kind != line_marked || numbers.size() >= max_read_numbers) return;
            numbers.push_back(message_number(text_of(line)));
            lines.push_back(&line);
        },
        true);
    if (numbers.empty()) return false;

    const RbbsRecord& r = record();
    const ReadCommandText read =
        continuous_read_text(r.read_command.view(), r.separator.view(), r.sort, numbers);
    // Lines are marked read requested only once their command went out: after a refusal
    // they stay marked for the next try.
    if (!type(read.text, true)) return false;

    // Each number goes with the line that carries it, whatever the sort order. The lines
    // are found again by their place in the ring; one overwritten meanwhile is plain now.
    std::vector<const ScreenLine*> requested;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (read.taken[i]) requested.push_back(lines[i]);
    }
    std::sort(requested.begin(), requested.end(), std::less<>());
    store_.for_each_oldest_first(
        [&](ScreenLine& line) {
            if (line.kind == line_marked &&
                std::binary_search(requested.begin(), requested.end(), &line, std::less<>())) {
                line.kind = line_read_requested;
            }
        },
        true);
    desktop_.repaint_pane(Pane::backscroll, false);
    return true;
}

void RbbsCommands::single_read() {
    int number = 0;
    const ScreenLine* target = nullptr;
    backscroll_.with_cursor_line([&](ScreenLine& line) {
        number = message_number(text_of(line));
        target = &line;
    });
    if (number < 1) return;
    if (!type(std::string(record().read_command.view()) + " " + std::to_string(number) + cr, true))
        return;
    // The cursor's line is a place in the ring, which arriving lines do not move.
    backscroll_.with_cursor_line([&](ScreenLine& line) {
        if (&line == target && line.kind != line_pause_notice) line.kind = line_read_requested;
    });
    desktop_.repaint_pane(Pane::backscroll, false);
}

void RbbsCommands::toggle_mark() {
    if (!backscroll_.split_view()) return;
    backscroll_.with_cursor_line([](ScreenLine& line) {
        const bool numbered = message_number(text_of(line)) != 0;
        switch (line.kind) {
            case line_plain:
            case line_read_requested:
                if (numbered) line.kind = line_marked;
                break;
            case line_marked: line.kind = line_plain; break;
            default: break;
        }
    });
    // Unlike DOWN, marking the newest line on the last row does not close split view.
    if (backscroll_.cursor_row() < backscroll_.rows() - 1 || backscroll_.bottom_line_age() > 0) {
        backscroll_.scroll(ScrollRequest::line_down);
    }
    desktop_.repaint_pane(Pane::backscroll, false);
}

}  // namespace kestrel
