#include "core/screen/line_store.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/text/sjis.h"
#include "core/text/time_stamp.h"

namespace kestrel {
namespace {

// Printed into lines 10..13 of a fresh ring; converted once, on first use.
const std::array<std::string, 4>& banner() {
    static const std::array<std::string, 4> lines = {
        text::sjis("         ﾊﾟｹｯﾄ通信専用ﾀｰﾐﾅﾙ    Ｋｅｓｔｒｅｌ        "),
        std::string(40, ' '),
        text::sjis("         Kestrel for Linux -- by its developers, for packet operators"),
        std::string(40, ' '),
    };
    return lines;
}

constexpr std::uint8_t bel = 7, bs = 8, tab = 9, lf = 10, cr = 13;

// A byte stored as it comes, one column wide, when no lead byte waits for its partner.
constexpr bool is_plain(char c) {
    return static_cast<std::uint8_t>(c) >= 32 && !text::is_lead_byte(c);
}

}  // namespace

LineStore::LineStore(Desktop& desktop) : desktop_(desktop) { copy_banner(); }

void LineStore::put_char(std::uint8_t c, bool notice) {
    std::lock_guard lock(store_mutex_);
    put_char_locked(c, notice);
}

void LineStore::put_text(std::string_view bytes, bool notice) {
    std::lock_guard lock(store_mutex_);
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t n = 0;
        if (!lead_pending_) {
            while (i + n < bytes.size() && is_plain(bytes[i + n])) ++n;
        }
        if (n == 0) {
            put_char_locked(static_cast<std::uint8_t>(bytes[i]), notice);
            ++i;
            continue;
        }
        put_plain_locked(bytes.substr(i, n), notice);
        i += n;
    }
}

// What put_char_locked does with each byte of `plain`, a line's worth at a time: received
// traffic is mostly such runs, and the receiver hands them over by the kilobyte.
void LineStore::put_plain_locked(std::string_view plain, bool notice) {
    while (!plain.empty()) {
        if (cursor_column_ >= columns) new_line_at_column_zero();
        ScreenLine& line = lines_[current_line_];
        const std::size_t n =
            std::min(plain.size(), static_cast<std::size_t>(columns - cursor_column_));
        line.kind = notice ? line_pause_notice : line_plain;
        line.selected = 0;
        std::memcpy(line.text + cursor_column_, plain.data(), n);
        cursor_column_ += static_cast<int>(n);
        line.text[cursor_column_] = 0;
        plain.remove_prefix(n);
    }
}

void LineStore::put_char_locked(std::uint8_t c, bool notice) {
    switch (c) {
        case bel:
            if (bell_on_.load(std::memory_order_relaxed)) desktop_.beep();
            if (saver_.load(std::memory_order_relaxed) && saver_throttle_.due(desktop_.now())) {
                desktop_.release_screen_saver();
            }
            lead_pending_ = false;
            return;
        case bs:
            // A pending lead byte stays pending: its pair may still complete.
            if (cursor_column_ == 0) return;
            --cursor_column_;
            lines_[current_line_].text[cursor_column_] = 0;
            return;
        case tab:
            lead_pending_ = false;
            c = ' ';
            break;
        case lf: lead_pending_ = false; return;
        case cr:
            cursor_column_ = 0;
            new_line();
            lead_pending_ = false;
            return;
        default:
            if (c < 32) return;
    }

    if (lead_pending_) {
        // The byte after a lead byte is its partner, whatever its value.
        if (cursor_column_ > columns - 2) new_line_at_column_zero();
        lead_pending_ = false;
        store_byte(pending_lead_, notice);
        store_byte(c, notice);
        return;
    }
    if (text::is_lead_byte(c)) {
        // Never split a pair across lines: a lead byte that would land in the last
        // column starts the next line.
        if (cursor_column_ >= columns - 1) new_line_at_column_zero();
        pending_lead_ = c;
        lead_pending_ = true;
        return;
    }
    if (cursor_column_ >= columns) new_line_at_column_zero();
    store_byte(c, notice);
}

// Writing text takes away the line's marks and selection: it is a different line now.
void LineStore::store_byte(std::uint8_t c, bool notice) {
    ScreenLine& line = lines_[current_line_];
    line.kind = notice ? line_pause_notice : line_plain;
    line.selected = 0;
    line.text[cursor_column_] = static_cast<char>(c);
    ++cursor_column_;
    line.text[cursor_column_] = 0;
}

void LineStore::new_line() {
    current_line_ = current_line_ + 1 == line_count ? 0 : current_line_ + 1;
    ScreenLine& line = lines_[current_line_];
    line.kind = line_plain;
    line.selected = 0;
    if (time_stamp_.load(std::memory_order_relaxed)) {
        // Many lines arrive within one second: format the stamp once per second.
        std::time_t now = desktop_.now();
        if (now != stamp_time_ || stamp_.length == 0) {
            stamp_ = text::time_stamp_text(desktop_.local_time(now));
            stamp_time_ = now;
        }
        std::size_t n = std::min<std::size_t>(stamp_.view().size(), columns);
        std::memcpy(line.text, stamp_.bytes.data(), n);
        line.text[n] = 0;
        cursor_column_ = static_cast<int>(n);
    } else {
        line.text[0] = 0;
    }
    desktop_.repaint_pane(Pane::terminal, false);
}

// A wrapped continuation starts at column 0, over any stamp, so it shows none.
void LineStore::new_line_at_column_zero() {
    new_line();
    cursor_column_ = 0;
}

// However tall the window, the pane shows no more rows than the ring holds.
void LineStore::set_terminal_rows(int rows) {
    std::lock_guard lock(store_mutex_);
    terminal_rows_ = std::clamp(rows, 1, line_count);
}

void LineStore::first_sized(int rows) {
    std::lock_guard lock(store_mutex_);
    terminal_rows_ = std::clamp(rows, 1, line_count);
    if (current_line_ == 0) current_line_ = terminal_rows_ - 1;
    cursor_column_ = 0;
}

void LineStore::copy_banner() {
    std::lock_guard lock(store_mutex_);
    copy_banner_locked();
}

void LineStore::copy_banner_locked() {
    for (std::size_t i = 0; i < banner().size(); ++i) {
        ScreenLine& line = lines_[banner_first_line + i];
        line = ScreenLine{};
        std::size_t n = std::min<std::size_t>(banner()[i].size(), columns);
        std::memcpy(line.text, banner()[i].data(), n);
    }
}

void LineStore::reset() {
    std::lock_guard lock(store_mutex_);
    lines_.fill(ScreenLine{});
    lead_pending_ = false;
    copy_banner_locked();
    current_line_ = terminal_rows_ - 1;
    cursor_column_ = 0;
}

void LineStore::clear_marks_and_selection() {
    std::lock_guard lock(store_mutex_);
    for (ScreenLine& line : lines_) {
        if (line.kind < line_pause_notice) line.kind = line_plain;
        line.selected = 0;
    }
}

void LineStore::clear_selection() {
    std::lock_guard lock(store_mutex_);
    for (ScreenLine& line : lines_) line.selected = 0;
}

int LineStore::count_selected() const {
    std::lock_guard lock(store_mutex_);
    return static_cast<int>(std::count_if(lines_.begin(), lines_.end(),
                                          [](const ScreenLine& l) { return l.selected; }));
}

int LineStore::count_kinds() const {
    std::lock_guard lock(store_mutex_);
    return static_cast<int>(
        std::count_if(lines_.begin(), lines_.end(), [](const ScreenLine& l) { return l.kind; }));
}

ScreenLine LineStore::terminal_row(int row) const {
    std::lock_guard lock(store_mutex_);
    return lines_[ring_index_of_row(row)];
}

TerminalView LineStore::terminal_view() const {
    TerminalView view;
    std::lock_guard lock(store_mutex_);
    view.rows.reserve(static_cast<std::size_t>(terminal_rows_));
    for (int row = 0; row < terminal_rows_; ++row)
        view.rows.push_back(lines_[ring_index_of_row(row)]);
    view.cursor_row = terminal_rows_ - 1;
    view.cursor_column = cursor_column_;
    return view;
}

int LineStore::terminal_rows() const {
    std::lock_guard lock(store_mutex_);
    return terminal_rows_;
}

int LineStore::cursor_row() const {
    std::lock_guard lock(store_mutex_);
    return terminal_rows_ - 1;
}

int LineStore::cursor_column() const {
    std::lock_guard lock(store_mutex_);
    return cursor_column_;
}

std::string LineStore::line_text(int age) const {
    std::lock_guard lock(store_mutex_);
    const ScreenLine& line = lines_[wrap(current_line_ - age)];
    return std::string(line.text, ::strnlen(line.text, columns));
}

void LineStore::move_cursor_home() {
    std::lock_guard lock(store_mutex_);
    cursor_column_ = 0;
}

}  // namespace kestrel
