#pragma once
// The terminal's only text model: a ring of 5000 screen lines filled one byte at a time.
//
// One lock guards the ring, the cursor and the split-view state of Backscroll. Every
// member takes it itself. Readers ask by coordinate system and get copies: a terminal row
// (0 is the pane's top row, `cursor_row()` its bottom one), the visible rows at once, or
// the lines by age (0 the line being written, line_count - 1 the oldest). Only this class
// and the scroll file know the ring's wrap-around.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/desktop/desktop.h"
#include "core/desktop/saver_throttle.h"
#include "core/screen/screen_line.h"
#include "core/text/time_stamp.h"

namespace kestrel {
namespace testing {
struct RingAccess;  // tests of the ring's own layout (the scroll file, the receiver's chunks)
}

// What the terminal pane shows, copied in one hold of the lock.
struct TerminalView {
    std::vector<ScreenLine> rows;  // top row first
    int cursor_row = 0;
    int cursor_column = 0;
};

class LineStore {
public:
    static constexpr int line_count = 5000;
    static constexpr int columns = ScreenLine::columns;
    static constexpr int banner_first_line = 10;

    explicit LineStore(Desktop& desktop);
    LineStore(const LineStore&) = delete;
    LineStore& operator=(const LineStore&) = delete;

    // The one entry through which every byte reaches the screen. `notice` marks the
    // upload's pause notice. Callers repaint the cursor row afterwards.
    void put_char(std::uint8_t c, bool notice = false);
    // The same for a run of bytes from one source, under one lock.
    void put_text(std::string_view bytes, bool notice = false);

    // Options the receiver reads on every byte; set from the settings and dialogs.
    void set_time_stamp(bool on) { time_stamp_.store(on, std::memory_order_relaxed); }
    void set_bell(bool on) { bell_on_.store(on, std::memory_order_relaxed); }
    void set_bell_releases_saver(bool on) { saver_.store(on, std::memory_order_relaxed); }
    bool time_stamp() const { return time_stamp_.load(std::memory_order_relaxed); }

    // Pane geometry, from the GUI's layout.
    void set_terminal_rows(int rows);
    // The pane's first real size: a fresh screen puts the banner in view and the cursor
    // at the start of the bottom row.
    void first_sized(int rows);

    void copy_banner();
    // Zero the ring, banner back in, cursor on the bottom row. No question asked.
    void reset();
    // Marks and selections go; pause notices stay.
    void clear_marks_and_selection();
    void clear_selection();
    int count_selected() const;
    int count_kinds() const;  // lines with any mark or notice
    void move_cursor_home();  // column 0 of the bottom row, text untouched

    // Readers by coordinate system; each takes the lock.
    ScreenLine terminal_row(int row) const;
    TerminalView terminal_view() const;
    int terminal_rows() const;
    int cursor_row() const;
    int cursor_column() const;
    // The text of the line `age` lines above the one being written.
    std::string line_text(int age) const;

    // Calls `visit(ScreenLine&)` under the lock for the line of the given age.
    template <typename Visit>
    void with_line(int age, Visit&& visit) {
        std::lock_guard lock(store_mutex_);
        visit(lines_[wrap(current_line_ - age)]);
    }
    // Calls `visit(ScreenLine&)` under the lock for every complete line from the oldest
    // to the newest, and then for the line being written when `with_current` is set.
    template <typename Visit>
    void for_each_oldest_first(Visit&& visit, bool with_current = false) {
        std::lock_guard lock(store_mutex_);
        for (int age = line_count - 1; age >= (with_current ? 0 : 1); --age) {
            visit(lines_[wrap(current_line_ - age)]);
        }
    }

private:
    friend class Backscroll;
    friend struct testing::RingAccess;
    friend bool load_scroll_file(LineStore&, const std::string&, Desktop&);
    friend bool save_scroll_file(LineStore&, const std::string&, Desktop&);

    static constexpr int wrap(int index) {
        index %= line_count;
        return index < 0 ? index + line_count : index;
    }
    std::mutex& store_mutex() const { return store_mutex_; }
    // Lock held.
    int current_line() const { return current_line_; }
    void set_current_line(int index) { current_line_ = wrap(index); }
    std::array<ScreenLine, line_count>& lines() { return lines_; }
    const ScreenLine& line(int index) const { return lines_[wrap(index)]; }
    ScreenLine& line(int index) { return lines_[wrap(index)]; }
    int ring_index_of_row(int row) const {
        return wrap(current_line_ - (terminal_rows_ - 1 - row));
    }

    void put_char_locked(std::uint8_t c, bool notice);
    void put_plain_locked(std::string_view plain, bool notice);
    void store_byte(std::uint8_t c, bool notice);
    void new_line();
    void new_line_at_column_zero();
    void copy_banner_locked();

    Desktop& desktop_;
    mutable std::mutex store_mutex_;

    std::array<ScreenLine, line_count> lines_{};
    int current_line_ = 0;
    int cursor_column_ = 0;
    int terminal_rows_ = 1;
    bool lead_pending_ = false;
    std::uint8_t pending_lead_ = 0;
    text::TimeStamp stamp_;
    std::time_t stamp_time_ = 0;

    std::atomic<bool> time_stamp_{false};
    std::atomic<bool> bell_on_{true};
    std::atomic<bool> saver_{false};
    SaverThrottle saver_throttle_;  // a burst of bells wakes the screen once
};

}  // namespace kestrel
